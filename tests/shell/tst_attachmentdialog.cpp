#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "grid/grid_widget.h"
#include "gui_fixture.h"
#include "shell/attachment_dialog.h"
#include "shell/attachment_file.h"
#include "shell/charset.h"

using guitest::ReadFile;
using guitest::WriteFile;

namespace {

// "a,b / 1,2": the names, then each row, of cells separated by commas.
AttachmentTable Table(const QString& text) {
    AttachmentTable table;
    const QStringList lines = text.split(u'/');
    table.names = lines[0].trimmed().split(u',', Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(1)) table.rows.append(line.trimmed().split(u','));
    return table;
}

QByteArray Bytes(const QString& text) {
    QByteArray bytes;
    if (!charset::FromUnicode(text, bytes)) qFatal("no bytes for %s", qPrintable(text));
    return bytes;
}

}  // namespace

// The attachment table file and its editor.
class tst_AttachmentDialog : public guitest::AppTest {
    Q_OBJECT
   private slots:
    void init() { StartApp(); }
    void cleanup() { StopApp(); }

    void reading_data() { guitest::RowsFrom("attachment_reading.txt", {"file", "table"}); }
    void reading() {
        QFETCH(QString, file);
        QFETCH(QString, table);
        const AttachmentTable t = ReadAttachment(Bytes(file));
        QCOMPARE(t.names, Table(table).names);
        QCOMPARE(t.rows, Table(table).rows);
    }

    void writing_data() {
        guitest::RowsFrom("attachment_writing.txt", {"table", "file", "rowsWritten"});
    }
    void writing() {
        QFETCH(QString, table);
        QFETCH(QString, file);
        int written = -1;
        QCOMPARE(WriteAttachment(Table(table), &written), Bytes(file));
        QTEST(QString::number(written), "rowsWritten");
    }

    void unstorableCells_data() {
        guitest::RowsFrom("attachment_unstorable.txt", {"table", "row", "column"});
    }
    void unstorableCells() {
        QFETCH(QString, table);
        QFETCH(QString, row);
        int r = -2, c = -2;
        const bool found = FindUnstorableCell(Table(table), &r, &c);
        QCOMPARE(found, row != QLatin1String("none"));
        if (found) {
            QCOMPARE(QString::number(r), row);
            QTEST(QString::number(c), "column");
        }
    }

    // The table in the grid; the row buttons number the rows; the name box follows the column in
    // focus and writes the name back, with the mark when the box is ticked; the column buttons
    // act where the focus is (cells keep their places as the grid's own test shows).
    void opensTheTableInTheGrid() {
        WriteFile(path("t.LST"), "x y\xBB z\n1;2  3\n4 5 6\n7 8 9\n");
        AttachmentDialog d(*app_, path("t.LST"), QString());
        GridWidget* g = d.grid();
        QCOMPARE(g->horizontalHeaderItem(0)->text(), QStringLiteral("  No"));
        QCOMPARE(g->columnWidth(0), 50);
        QCOMPARE(g->dataRowCount(), 3);
        QCOMPARE(g->rowTexts(0), (QStringList{"1", "2", "3"}));
        QCOMPARE(g->rowLabel(1), QStringLiteral("2"));
        QCOMPARE(g->item(0, 1)->background().color(), QColor(255, 255, 224));
        QCOMPARE(d.rowCount(), 3);

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
        QCOMPARE(g->rowTexts(2), (QStringList{"7", "8", "9"}));

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
