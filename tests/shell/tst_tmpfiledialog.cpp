#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "gui_fixture.h"
#include "shell/tmp_file_dialog.h"

// The read-only viewer of the core's work and result files.
class tst_TmpFileDialog : public QObject {
    Q_OBJECT
   private slots:
    void cleanup() { QCOMPARE(guitest::VisibleTopLevels(), QStringList()); }
    void fontAndConvertButtonFollowTheExtension_data();
    void fontAndConvertButtonFollowTheExtension();
    void showsTheLinesAsTheEditorWould();
    void convertClosesWithAccepted();
};

void tst_TmpFileDialog::fontAndConvertButtonFollowTheExtension_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("symbolic");
    QTest::newRow("symbolic Jacobian") << "model.SJC" << true;
    QTest::newRow("lower-case extension") << "model.sjc" << false;
    QTest::newRow("result file") << "model.PRN" << false;
}

void tst_TmpFileDialog::fontAndConvertButtonFollowTheExtension() {
    QFETCH(QString, name);
    QFETCH(bool, symbolic);
    QTemporaryDir dir;
    const QString path = guitest::WriteFile(dir.filePath(name), "x = 1;\n");
    TmpFileDialog d(path);
    QCOMPARE(d.windowTitle(), path);
    QCOMPARE(d.isSymbolicJacobianFile(), symbolic);
    QCOMPARE(d.textBox()->font().families().value(0),
             symbolic ? QStringLiteral("Valdrix Times") : QStringLiteral("Valdrix Courier"));
    QCOMPARE(d.textBox()->font().pixelSize(), 14);
    d.show();
    QCOMPARE(d.convertButton()->isVisible(), symbolic);
    QVERIFY(d.textBox()->isReadOnly());
    d.reject();
}

void tst_TmpFileDialog::showsTheLinesAsTheEditorWould() {
    QTemporaryDir dir;
    const QString path = guitest::WriteFile(dir.filePath("m.SJC"), "a\xE1 = \xF0;\r\nb = 2;");
    TmpFileDialog d(path);
    QCOMPARE(d.textBox()->toPlainText(), QStringLiteral("a\u03B1 = \u03C0;\nb = 2;\n"));
}

void tst_TmpFileDialog::convertClosesWithAccepted() {
    QTemporaryDir dir;
    TmpFileDialog d(guitest::WriteFile(dir.filePath("m.SJC"), "x = 1;\n"));
    d.show();
    QTest::mouseClick(d.convertButton(), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(!d.isVisible());
}

QTEST_MAIN(tst_TmpFileDialog)
#include "tst_tmpfiledialog.moc"
