#include <QHeaderView>
#include <QTableView>
#include <QTextBlock>

#include "gui_fixture.h"
#include "shell/charset.h"
#include "shell/equation_locator.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/results_dialog.h"

using guitest::WriteFile;

namespace {

// The cells of a row joined by ','; row -1 is the header.
QString Cells(const ResultsModel& model, int row) {
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c) {
        cells << (row < 0 ? model.headerData(c, Qt::Horizontal, Qt::DisplayRole)
                          : model.data(model.index(row, c), Qt::DisplayRole))
                     .toString();
    }
    return cells.join(u',');
}

}  // namespace

// The results viewer, and the way from a run's messages back into the equation text.
class tst_ResultsView : public guitest::FrameTest {
    Q_OBJECT
   private slots:
    void init() { StartFrame(); }
    void cleanup() { StopFrame(); }

    // How lines end, what separates cells and where a table stops is the core's reader's (its
    // TableLines and ResultTableReader tests); these rows check what the viewer makes of its cells.
    void readsResultFiles_data() {
        guitest::RowsFrom("result_files.txt", {"file", "header", "rows"});
    }
    void readsResultFiles() {
        QFETCH(QString, file);
        QFETCH(QString, rows);
        QByteArray bytes;
        QVERIFY(charset::FromUnicode(file, bytes));
        ResultsModel model(ReadResultsTable(WriteFile(path("r.PRN"), bytes)));
        QTEST(Cells(model, -1), "header");
        const QStringList expected = rows.split(u'/');
        QCOMPARE(model.rowCount(), expected.size());
        for (int r = 0; r < expected.size(); ++r) QCOMPARE(Cells(model, r), expected[r].trimmed());
    }

    void viewerShowsTheTable() {
        const QString file = WriteFile(path("s.PRN"), "PARAMETER: a 0\na b\n1 2\n3 4\n5 6\n");
        CResultsDlg dialog(file);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Results from: ") + file);
        QCOMPARE(dialog.model()->rowCount(), 3);
        QCOMPARE(dialog.model()->data(dialog.model()->index(2, 0), Qt::DisplayRole).toString(),
                 QStringLiteral("3"));
        QCOMPARE(dialog.view()->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(!(dialog.model()->flags(dialog.model()->index(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(dialog.view()->columnWidth(0) >= 50);
        QCOMPARE(
            dialog.model()->data(dialog.model()->index(0, 1), Qt::BackgroundRole).value<QColor>(),
            QColor(255, 255, 224));

        CResultsDlg missing(path("none.PRN"));
        QCOMPARE(missing.model()->rowCount(), 0);
        QCOMPARE(missing.model()->columnCount(), 1);
        CResultsDlg unnamed{QString()};
        QCOMPARE(unnamed.model()->rowCount(), 0);
    }

    void resultsCommandShowsTheSweepOfTheCore() {
        // A document that was never saved has no result file.
        docs().NewDocument();
        bool opened = false;
        answer_ = [&opened](QDialog&) { opened = true; };
        action("actionShowResults")->trigger();
        QVERIFY(!opened);
        QCOMPARE(messages_, QStringList{QStringLiteral("There is no PRN file available!!")});

        // A sweep of a over 0, 0.5, 1 for b = 1 and b = 2: the file starts with a PARAMETER line,
        // and the header is the line after it.
        app_->runner().dialogs().graphGeneration =
            [](QWidget*, const std::vector<std::string>& names, SweepChoice& choice) {
                choice = {guitest::VariableNumber(names, "a"), 0, 1, 2, true,
                          guitest::VariableNumber(names, "b"), 1, 2, 1, false};
                return true;
            };
        openDocument("sweep.alg", "y = a*b + 1;\nz = a - b;\n");
        action("actionGraphGenerate")->trigger();
        QVERIFY(waitForRun());
        QVERIFY(guitest::ReadFile(path("sweep.PRN")).startsWith("PARAMETER:"));

        QString caption, header;
        QStringList rows;
        answer_ = [&](QDialog& d) {
            if (auto* viewer = dynamic_cast<CResultsDlg*>(&d)) {
                caption = viewer->windowTitle();
                header = Cells(*viewer->model(), -1);
                for (int r = 0; r < viewer->model()->rowCount(); ++r)
                    rows << Cells(*viewer->model(), r);
            }
        };
        action("actionShowResults")->trigger();
        QCOMPARE(caption, QStringLiteral("Results from: ") + path("sweep.PRN"));
        QCOMPARE(header, QStringLiteral("  No,y,a,b,z"));
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows[1], QStringLiteral("2,1.5000000,0.5000000,1.0000000,-0.5000000"));
        QCOMPARE(rows[5], QStringLiteral("6,3.0000000,1.0000000,2.0000000,-1.0000000"));
    }

    // Where a message points on a cut or commented line is the locator's own test; here the
    // run's position reaches the editor.
    void parseErrorPlacesTheCaret() {
        const int caret = 14;
        PadView* view = openDocument("bad.alg", "x = 1;\ny = 2 +# x;\n");
        QCOMPARE(view->toPlainText().at(caret), u'#');
        solve(view);
        QVERIFY(waitForRun());
        QVERIFY2(frame_->output()->toPlainText().contains(QStringLiteral(" at character ")),
                 qPrintable(frame_->output()->toPlainText()));
        QCOMPARE(view->textCursor().position(), caret);
        QCOMPARE(view->extraSelections().size(), 1);
        QCOMPARE(view->extraSelections().first().cursor.selectedText(),
                 QStringLiteral("y = 2 +# x;"));

        // An edit before the run ends leaves the caret alone: the positions are of the old text.
        view->moveCursor(QTextCursor::Start);
        solve(view);
        QTest::keyClicks(view, "z");
        QVERIFY(waitForRun());
        QCOMPARE(view->textCursor().position(), 1);

        // Where the compiler stopped comes from the run itself, never from text in the Output
        // window: a document that compiles is not marked, even when its run prints a line that
        // reads like a compiler message (the banner shows the document's path).
        view = openDocument("m.alg at character 3", "x = 1;\n");
        QVERIFY(view != nullptr);
        view->moveCursor(QTextCursor::End);
        QVERIFY(solve(view));
        QVERIFY(waitForRun());
        QVERIFY(frame_->output()->toPlainText().contains(QStringLiteral("alg at character 3")));
        QCOMPARE(view->padDocument()->settings.lastResult, 1u);
        QVERIFY(view->extraSelections().isEmpty());
        QCOMPARE(view->textCursor().position(), 7);
    }

    void doubleClickOnAnOutputLineSelectsTheEquation() {
        PadView* view = openDocument("dep.alg",
                                     "{two lines, one relation}\nu \xBB 1;\n"
                                     "u + v = 1;\n2*u + 2*v = 2;\n");
        solve(view);
        QVERIFY(waitForRun());
        OutputWindow* output = frame_->output();
        QTextBlock line;
        for (QTextBlock b = output->document()->begin(); b.isValid(); b = b.next()) {
            if (locator::ReferenceIn(b.text())) line = b;
        }
        QVERIFY2(line.isValid(), qPrintable(output->toPlainText()));
        const auto ref = locator::ReferenceIn(line.text());
        QCOMPARE(int(ref->kind), int(locator::Reference::Kind::kEquation));

        view->moveCursor(QTextCursor::Start);
        QTextCursor at(line);
        output->setTextCursor(at);
        output->ensureCursorVisible();
        const QPoint point = output->cursorRect(at).center() + QPoint(4, 0);
        QTest::mouseDClick(output->viewport(), Qt::LeftButton, {}, point);
        const QStringList equations{QStringLiteral("u + v = 1;"), QStringLiteral("2*u + 2*v = 2;")};
        QCOMPARE(view->textCursor().selectedText(), equations.value(ref->number - 1));

        // A line that names nothing leaves the editor as it is.
        QVERIFY(!frame_->runs().JumpToOutputLine(QStringLiteral("Solution Found!")));
        QCOMPARE(view->textCursor().selectedText(), equations.value(ref->number - 1));
    }
};

QTEST_MAIN(tst_ResultsView)
#include "tst_resultsview.moc"
