#include <QPlainTextEdit>
#include <QPushButton>

#include "gui_fixture.h"
#include "shell/tmp_file_dialog.h"

// The read-only viewer of the core's work and result files.
class tst_TmpFileDialog : public QObject {
    Q_OBJECT
   private slots:
    void cleanup() { QCOMPARE(guitest::VisibleTopLevels(), QStringList()); }

    void fontAndConvertButtonFollowTheExtension_data() {
        guitest::RowsFrom("work_file_views.txt", {"name", "symbolicFile"});
    }
    void fontAndConvertButtonFollowTheExtension() {
        QFETCH(QString, name);
        QFETCH(QString, symbolicFile);
        const bool symbolic = symbolicFile == u'1';
        QTemporaryDir dir;
        const QString path = guitest::WriteFile(dir.filePath(name), "a\xE1 = \xF0;\r\nb = 2;");
        TmpFileDialog d(path);
        QCOMPARE(d.windowTitle(), path);
        QCOMPARE(d.isSymbolicJacobianFile(), symbolic);
        QCOMPARE(d.textBox()->font().families().value(0),
                 symbolic ? QStringLiteral("Valdrix Times") : QStringLiteral("Valdrix Courier"));
        QCOMPARE(d.textBox()->font().pixelSize(), 14);
        // The lines show as the editor would show them.
        QCOMPARE(d.textBox()->toPlainText(), QStringLiteral("a\u03B1 = \u03C0;\nb = 2;\n"));
        d.show();
        QCOMPARE(d.convertButton()->isVisible(), symbolic);
        QVERIFY(d.textBox()->isReadOnly());
        if (symbolic) {
            QTest::mouseClick(d.convertButton(), Qt::LeftButton);
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QVERIFY(!d.isVisible());
        }
        d.reject();
    }
};

QTEST_MAIN(tst_TmpFileDialog)
#include "tst_tmpfiledialog.moc"
