#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "grid/grid_widget.h"
#include "gui_fixture.h"
#include "shell/attachment_dialog.h"
#include "shell/attachment_file.h"

using guitest::ReadFile;
using guitest::Row;
using guitest::WriteFile;

// The attachment table file and its editor.
class tst_AttachmentDialog : public guitest::AppTest {
    Q_OBJECT
   private slots:
    void init() { StartApp(); }
    void cleanup() { StopApp(); }

    void reading_data() {
        guitest::Columns<QByteArray, QStringList, QList<QStringList>>("file", "names", "rows");
        Row("semicolon and blanks separate", QByteArray("a b c\n1;2  3\n"),
            QStringList{"a", "b", "c"}, QList<QStringList>{{"1", "2", "3"}});
        Row("tabs and runs of separators", QByteArray("a\tb\n\t1 ;; 2\t\n"), QStringList{"a", "b"},
            QList<QStringList>{{"1", "2"}});
        Row("reading stops at an empty line", QByteArray("a\n1\n\n2\n"), QStringList{"a"},
            QList<QStringList>{{"1"}});
        Row("line ends of another system", QByteArray("a b\r\n1 2\r\n3 4\r\n"),
            QStringList{"a", "b"}, QList<QStringList>{{"1", "2"}, {"3", "4"}});
        Row("approx mark at the end of a name", QByteArray("x y\xBB\n1 2\n"),
            QStringList{"x", QStringLiteral("y\u2248")}, QList<QStringList>{{"1", "2"}});
        Row("empty file", QByteArray(), QStringList{}, QList<QStringList>{});
    }

    void reading() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, names);
        QFETCH(QList<QStringList>, rows);
        const AttachmentTable t = ReadAttachment(file);
        QCOMPARE(t.names, names);
        QCOMPARE(t.rows, rows);
    }

    void writing_data() {
        guitest::Columns<QStringList, QList<QStringList>, QByteArray, int>("names", "rows", "file",
                                                                           "rowsWritten");
        Row("cells separated by one blank", QStringList{"a", "b"},
            QList<QStringList>{{"1", "2"}, {"3", "4"}}, QByteArray("a b\n1 2\n3 4\n"), 2);
        Row("empty row left out", QStringList{"a", "b"},
            QList<QStringList>{{"1", "2"}, {"", ""}, {"5", "6"}}, QByteArray("a b\n1 2\n5 6\n"), 2);
        Row("trailing empty cells trimmed", QStringList{"a", "b"}, QList<QStringList>{{"1", ""}},
            QByteArray("a b\n1\n"), 1);
        Row("approx mark written as its byte", QStringList{QStringLiteral("v\u2248")},
            QList<QStringList>{{"7"}}, QByteArray("v\xBB\n7\n"), 1);
    }

    void writing() {
        QFETCH(QStringList, names);
        QFETCH(QList<QStringList>, rows);
        int written = -1;
        QTEST(WriteAttachment(AttachmentTable{names, rows}, &written), "file");
        QTEST(written, "rowsWritten");
    }

    // row and column of the first cell that cannot be stored; -2: none, row -1: the names.
    void unstorableCells_data() {
        guitest::Columns<QStringList, QList<QStringList>, int, int>("names", "rows", "row",
                                                                    "column");
        Row("complete", QStringList{"a", "b"}, QList<QStringList>{{"1", "2"}}, -2, -2);
        Row("trailing gap is harmless", QStringList{"a", "b"}, QList<QStringList>{{"1", ""}}, -2,
            -2);
        Row("gap before a value", QStringList{"a", "b", "c"},
            QList<QStringList>{{"1", "2", "3"}, {"", "5", "6"}}, 1, 0);
        Row("blank inside a value", QStringList{"a", "b"}, QList<QStringList>{{"1 2", "3"}}, 0, 0);
        Row("semicolon in a name", QStringList{"a;b", "c"}, QList<QStringList>{}, -1, 0);
        Row("character without a byte", QStringList{"a"},
            QList<QStringList>{{QStringLiteral("\u03BA")}}, 0, 0);
    }

    void unstorableCells() {
        QFETCH(QStringList, names);
        QFETCH(QList<QStringList>, rows);
        QFETCH(int, row);
        int r = -2, c = -2;
        const bool found = FindUnstorableCell(AttachmentTable{names, rows}, &r, &c);
        QCOMPARE(found, row != -2);
        if (found) {
            QCOMPARE(r, row);
            QTEST(c, "column");
        }
    }

    // The table in the grid; the name box follows the column in focus and writes the name back,
    // with the mark when the box is ticked; the column buttons act where the focus is (cells
    // keep their places as the grid's own test shows).
    void opensTheTableInTheGrid() {
        WriteFile(path("t.LST"), "x y\xBB z\n1;2  3\n4 5 6\n");
        AttachmentDialog d(*app_, path("t.LST"), QString());
        GridWidget* g = d.grid();
        QCOMPARE(g->horizontalHeaderItem(0)->text(), QStringLiteral("  No"));
        QCOMPARE(g->columnWidth(0), 50);
        QCOMPARE(g->dataRowCount(), 2);
        QCOMPARE(g->rowTexts(0), (QStringList{"1", "2", "3"}));
        QCOMPARE(g->rowLabel(1), QStringLiteral("2"));
        QCOMPARE(g->item(0, 1)->background().color(), QColor(255, 255, 224));
        QCOMPARE(d.rowCount(), 2);

        QCOMPARE(d.nameBox()->maxLength(), 9);
        d.approxBox()->setChecked(true);
        g->focusCell(0, 0);
        d.GetVarName();
        QCOMPARE(d.nameBox()->text(), QStringLiteral("x"));
        QVERIFY(!d.approxBox()->isChecked());
        g->focusCell(0, 1);
        d.GetVarName();
        QCOMPARE(d.nameBox()->text(), QStringLiteral("y"));
        QVERIFY(d.approxBox()->isChecked());
        d.nameBox()->setText(QStringLiteral("speed"));
        d.RefreshVar();
        QCOMPARE(g->columnTitle(1), QStringLiteral("speed\u2248"));
        d.approxBox()->setChecked(false);
        d.RefreshVar();
        QCOMPARE(g->columnTitles(), (QStringList{"x", "speed", "z"}));

        d.AddColumn();
        QCOMPARE(g->columnTitles(), (QStringList{"x", "speed", "z", "noname"}));
        g->focusCell(0, 1);
        d.InsertColumn();
        QCOMPARE(g->columnTitles(), (QStringList{"x", "noname", "speed", "z", "noname"}));
        g->focusCell(0, 0);
        d.DeleteColumn();
        QCOMPARE(g->columnTitles(), (QStringList{"noname", "speed", "z", "noname"}));

        AttachmentDialog missing(*app_, path("none.LST"), QString());
        QCOMPARE(missing.grid()->dataColumnCount(), 0);
        QCOMPARE(missing.rowCount(), 0);
    }

    void rowButtonsNumberRows() {
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
        QCOMPARE(g->rowTexts(2), QStringList{"3"});
    }

    // A cell that would shift its column is refused and nothing is written; Don't Save writes
    // nothing; Save writes to the given path and counts the rows, an empty one left out.
    void saveToTheGivenPath() {
        WriteFile(path("t.LST"), "x y\n1 2\n3 4\n");
        AttachmentDialog d(*app_, path("t.LST"), QString());
        d.show();
        d.grid()->setCellText(0, 0, QString());
        d.Save();
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].contains(QStringLiteral("Row 1")));
        QVERIFY(d.isVisible());
        QCOMPARE(ReadFile(path("t.LST")), QByteArray("x y\n1 2\n3 4\n"));

        d.grid()->setCellText(0, 0, QStringLiteral("9"));
        AttachmentDialog unsaved(*app_, path("t.LST"), QString());
        unsaved.grid()->setCellText(0, 0, QStringLiteral("8"));
        unsaved.reject();
        QCOMPARE(unsaved.result(), int(QDialog::Rejected));
        QCOMPARE(ReadFile(path("t.LST")), QByteArray("x y\n1 2\n3 4\n"));
        QCOMPARE(unsaved.rowCount(), 2);

        d.AddRow();
        d.Save();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(saveTitles_.isEmpty());
        QCOMPARE(ReadFile(path("t.LST")), QByteArray("x y\n9 2\n3 4\n"));
        QCOMPARE(d.rowCount(), 2);
        QCOMPARE(d.savedPath(), path("t.LST"));
    }

    void saveOfNoNameAsksForAFileAndAddsTheExtension() {
        AttachmentDialog d(*app_, QStringLiteral("NoName"), QString());
        d.show();
        d.AddColumn();
        d.Save();  // no answer: the file dialog was cancelled, the editor stays open
        QCOMPARE(saveTitles_, QStringList{"Attachment File - Save"});
        QVERIFY(d.isVisible());
        QCOMPARE(d.savedPath(), QStringLiteral("NoName"));

        d.AddRow();
        d.grid()->setCellText(0, 0, QStringLiteral("5"));
        saveAnswers_ = {path("fresh")};
        d.Save();
        QCOMPARE(saveTitles_.size(), 2);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.savedPath(), path("fresh.LST"));
        QCOMPARE(ReadFile(path("fresh.LST")), QByteArray("noname\n5\n"));
        QCOMPARE(d.rowCount(), 1);
    }
};

QTEST_MAIN(tst_AttachmentDialog)
#include "tst_attachmentdialog.moc"
