#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "grid/grid_widget.h"
#include "gui_fixture.h"
#include "shell/attachment_dialog.h"
#include "shell/attachment_file.h"
#include "shell/equation_app.h"

using guitest::ReadFile;
using guitest::WriteFile;

// The attachment table file and its editor.
class tst_AttachmentDialog : public QObject {
    Q_OBJECT
   private slots:
    void initTestCase();
    void init();
    void cleanup();
    void reading_data();
    void reading();
    void writing_data();
    void writing();
    void unstorableCells_data();
    void unstorableCells();
    void opensTheTableInTheGrid();
    void getVarNameReportsTheApproxMark();
    void refreshVarWritesTheNameBack();
    void rowButtonsNumberRows();
    void columnButtons();
    void saveToTheGivenPathCountsRows();
    void saveOfNoNameAsksForAFileAndAddsTheExtension();
    void cancelledSaveDialogKeepsTheEditorOpen();
    void cellThatWouldShiftColumnsIsNotSaved();
    void dontSaveWritesNothing();

   private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<EquationApp> app_;
    QStringList messages_;
    QStringList saveAnswers_;
    int saveQuestions_ = 0;
};

void tst_AttachmentDialog::initTestCase() {
    static QTemporaryDir profile;
    guitest::UseScratchProfile(profile, "tst_attachmentdialog");
}

void tst_AttachmentDialog::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    app_ = std::make_unique<EquationApp>();
    messages_.clear();
    saveAnswers_.clear();
    saveQuestions_ = 0;
    app_->messageHook = [this](const QString& text, QMessageBox::Icon) { messages_.append(text); };
    app_->saveFileHook = [this](const QString& title, const QString&) {
        ++saveQuestions_;
        if (title != QStringLiteral("Attachment File - Save")) return QString();
        return saveAnswers_.isEmpty() ? QString() : saveAnswers_.takeFirst();
    };
}

void tst_AttachmentDialog::cleanup() {
    app_.reset();
    QCOMPARE(guitest::VisibleTopLevels(), QStringList());
}

void tst_AttachmentDialog::reading_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::newRow("semicolon and blanks separate")
        << QByteArray("a b c\n1;2  3\n") << QStringList{"a", "b", "c"}
        << QList<QStringList>{{"1", "2", "3"}};
    QTest::newRow("tabs and runs of separators")
        << QByteArray("a\tb\n\t1 ;; 2\t\n") << QStringList{"a", "b"}
        << QList<QStringList>{{"1", "2"}};
    QTest::newRow("reading stops at an empty line")
        << QByteArray("a\n1\n\n2\n") << QStringList{"a"} << QList<QStringList>{{"1"}};
    QTest::newRow("line ends of another system")
        << QByteArray("a b\r\n1 2\r\n3 4\r\n") << QStringList{"a", "b"}
        << QList<QStringList>{{"1", "2"}, {"3", "4"}};
    QTest::newRow("approx mark at the end of a name")
        << QByteArray("x y\xBB\n1 2\n") << QStringList{"x", QStringLiteral("y\u2248")}
        << QList<QStringList>{{"1", "2"}};
    QTest::newRow("empty file") << QByteArray() << QStringList{} << QList<QStringList>{};
}

void tst_AttachmentDialog::reading() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, names);
    QFETCH(QList<QStringList>, rows);
    const AttachmentTable t = ReadAttachment(file);
    QCOMPARE(t.names, names);
    QCOMPARE(t.rows, rows);
}

void tst_AttachmentDialog::writing_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rowsWritten");
    QTest::newRow("cells separated by one blank")
        << QStringList{"a", "b"} << QList<QStringList>{{"1", "2"}, {"3", "4"}}
        << QByteArray("a b\n1 2\n3 4\n") << 2;
    QTest::newRow("empty row left out")
        << QStringList{"a", "b"} << QList<QStringList>{{"1", "2"}, {"", ""}, {"5", "6"}}
        << QByteArray("a b\n1 2\n5 6\n") << 2;
    QTest::newRow("trailing empty cells trimmed")
        << QStringList{"a", "b"} << QList<QStringList>{{"1", ""}} << QByteArray("a b\n1\n") << 1;
    QTest::newRow("approx mark written as its byte")
        << QStringList{QStringLiteral("v\u2248")} << QList<QStringList>{{"7"}}
        << QByteArray("v\xBB\n7\n") << 1;
}

void tst_AttachmentDialog::writing() {
    QFETCH(QStringList, names);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QByteArray, file);
    QFETCH(int, rowsWritten);
    int written = -1;
    QCOMPARE(WriteAttachment(AttachmentTable{names, rows}, &written), file);
    QCOMPARE(written, rowsWritten);
}

void tst_AttachmentDialog::unstorableCells_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("complete") << QStringList{"a", "b"} << QList<QStringList>{{"1", "2"}} << -2
                              << -2;
    QTest::newRow("trailing gap is harmless")
        << QStringList{"a", "b"} << QList<QStringList>{{"1", ""}} << -2 << -2;
    QTest::newRow("gap before a value")
        << QStringList{"a", "b", "c"} << QList<QStringList>{{"1", "2", "3"}, {"", "5", "6"}} << 1
        << 0;
    QTest::newRow("blank inside a value")
        << QStringList{"a", "b"} << QList<QStringList>{{"1 2", "3"}} << 0 << 0;
    QTest::newRow("semicolon in a name")
        << QStringList{"a;b", "c"} << QList<QStringList>{} << -1 << 0;
    QTest::newRow("character without a byte")
        << QStringList{"a"} << QList<QStringList>{{QStringLiteral("\u03BA")}} << 0 << 0;
}

void tst_AttachmentDialog::unstorableCells() {
    QFETCH(QStringList, names);
    QFETCH(QList<QStringList>, rows);
    QFETCH(int, row);
    QFETCH(int, column);
    int r = -2, c = -2;
    const bool found = FindUnstorableCell(AttachmentTable{names, rows}, &r, &c);
    QCOMPARE(found, row != -2);
    if (found) {
        QCOMPARE(r, row);
        QCOMPARE(c, column);
    }
}

void tst_AttachmentDialog::opensTheTableInTheGrid() {
    WriteFile(path("t.LST"), "x y z\n1;2  3\n4 5 6\n");
    AttachmentDialog d(*app_, path("t.LST"), QString());
    GridWidget* g = d.grid();
    QCOMPARE(g->horizontalHeaderItem(0)->text(), QStringLiteral("  No"));
    QCOMPARE(g->columnWidth(0), 50);
    QCOMPARE(g->columnTitles(), (QStringList{"x", "y", "z"}));
    QCOMPARE(g->dataRowCount(), 2);
    QCOMPARE(g->rowTexts(0), (QStringList{"1", "2", "3"}));
    QCOMPARE(g->rowLabel(1), QStringLiteral("2"));
    QCOMPARE(g->item(0, 1)->background().color(), QColor(255, 255, 224));
    QCOMPARE(d.rowCount(), 2);

    AttachmentDialog missing(*app_, path("none.LST"), QString());
    QCOMPARE(missing.grid()->dataColumnCount(), 0);
    QCOMPARE(missing.rowCount(), 0);
}

void tst_AttachmentDialog::getVarNameReportsTheApproxMark() {
    WriteFile(path("t.LST"), "x y\xBB\n1 2\n");
    AttachmentDialog d(*app_, path("t.LST"), QString());
    d.approxBox()->setChecked(true);
    d.grid()->focusCell(0, 0);
    d.GetVarName();
    QCOMPARE(d.nameBox()->text(), QStringLiteral("x"));
    QVERIFY(!d.approxBox()->isChecked());
    d.grid()->focusCell(0, 1);
    d.GetVarName();
    QCOMPARE(d.nameBox()->text(), QStringLiteral("y"));
    QVERIFY(d.approxBox()->isChecked());
    QCOMPARE(d.nameBox()->maxLength(), 9);
}

void tst_AttachmentDialog::refreshVarWritesTheNameBack() {
    WriteFile(path("t.LST"), "x y\n1 2\n");
    AttachmentDialog d(*app_, path("t.LST"), QString());
    d.grid()->focusCell(0, 1);
    d.nameBox()->setText(QStringLiteral("speed"));
    d.approxBox()->setChecked(true);
    d.RefreshVar();
    QCOMPARE(d.grid()->columnTitle(1), QStringLiteral("speed\u2248"));
    d.approxBox()->setChecked(false);
    d.RefreshVar();
    QCOMPARE(d.grid()->columnTitle(1), QStringLiteral("speed"));
}

void tst_AttachmentDialog::rowButtonsNumberRows() {
    WriteFile(path("t.LST"), "x\n1\n2\n3\n");
    AttachmentDialog d(*app_, path("t.LST"), QString());
    GridWidget* g = d.grid();
    g->focusCell(1, 0);
    d.DeleteRow();  // rows keep their numbers: 1, 3
    QCOMPARE(g->rowLabel(1), QStringLiteral("3"));
    d.AddRow();  // the next number follows the highest
    QCOMPARE(g->rowLabel(2), QStringLiteral("4"));
    QCOMPARE(g->focusedRow(), 2);
    g->focusCell(1, 0);
    d.InsertRow();  // inserting renumbers every row
    QCOMPARE(g->dataRowCount(), 4);
    QCOMPARE((QStringList{g->rowLabel(0), g->rowLabel(1), g->rowLabel(2), g->rowLabel(3)}),
             (QStringList{"1", "2", "3", "4"}));
    QCOMPARE(g->rowTexts(1), QStringList{""});
    QCOMPARE(g->rowTexts(2), QStringList{"3"});
}

void tst_AttachmentDialog::columnButtons() {
    WriteFile(path("t.LST"), "x y\n1 2\n");
    AttachmentDialog d(*app_, path("t.LST"), QString());
    GridWidget* g = d.grid();
    d.AddColumn();
    QCOMPARE(g->columnTitles(), (QStringList{"x", "y", "noname"}));
    g->focusCell(0, 1);
    d.InsertColumn();
    QCOMPARE(g->columnTitles(), (QStringList{"x", "noname", "y", "noname"}));
    QCOMPARE(g->rowTexts(0), (QStringList{"1", "", "2", ""}));
    g->focusCell(0, 0);
    d.DeleteColumn();
    QCOMPARE(g->columnTitles(), (QStringList{"noname", "y", "noname"}));
}

void tst_AttachmentDialog::saveToTheGivenPathCountsRows() {
    WriteFile(path("t.LST"), "x y\n1 2\n3 4\n");
    AttachmentDialog d(*app_, path("t.LST"), QString());
    d.AddRow();  // an empty row is not written and not counted
    d.grid()->setCellText(0, 0, QStringLiteral("9"));
    d.Save();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(saveQuestions_, 0);
    QCOMPARE(ReadFile(path("t.LST")), QByteArray("x y\n9 2\n3 4\n"));
    QCOMPARE(d.rowCount(), 2);
    QCOMPARE(d.savedPath(), path("t.LST"));
}

void tst_AttachmentDialog::saveOfNoNameAsksForAFileAndAddsTheExtension() {
    AttachmentDialog d(*app_, QStringLiteral("noname"), QString());
    d.AddColumn();
    d.AddRow();
    d.grid()->setCellText(0, 0, QStringLiteral("5"));
    saveAnswers_ = {path("fresh")};
    d.Save();
    QCOMPARE(saveQuestions_, 1);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(d.savedPath(), path("fresh.LST"));
    QCOMPARE(ReadFile(path("fresh.LST")), QByteArray("noname\n5\n"));
    QCOMPARE(d.rowCount(), 1);
}

void tst_AttachmentDialog::cancelledSaveDialogKeepsTheEditorOpen() {
    AttachmentDialog d(*app_, QStringLiteral("NoName"), QString());
    d.show();
    d.AddColumn();
    d.Save();  // no answer: the dialog was cancelled
    QCOMPARE(saveQuestions_, 1);
    QVERIFY(d.isVisible());
    QCOMPARE(d.savedPath(), QStringLiteral("NoName"));
    d.reject();
}

void tst_AttachmentDialog::cellThatWouldShiftColumnsIsNotSaved() {
    WriteFile(path("t.LST"), "x y\n1 2\n");
    AttachmentDialog d(*app_, path("t.LST"), QString());
    d.show();
    d.grid()->setCellText(0, 0, QString());
    d.Save();
    QCOMPARE(messages_.size(), 1);
    QVERIFY(messages_[0].contains(QStringLiteral("Row 1")));
    QVERIFY(d.isVisible());
    QCOMPARE(ReadFile(path("t.LST")), QByteArray("x y\n1 2\n"));
    d.reject();
}

void tst_AttachmentDialog::dontSaveWritesNothing() {
    WriteFile(path("t.LST"), "x\n1\n");
    AttachmentDialog d(*app_, path("t.LST"), QString());
    d.grid()->setCellText(0, 0, QStringLiteral("2"));
    d.reject();
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(ReadFile(path("t.LST")), QByteArray("x\n1\n"));
    QCOMPARE(d.rowCount(), 1);
}

QTEST_MAIN(tst_AttachmentDialog)
#include "tst_attachmentdialog.moc"
