#include <QProgressBar>
#include <QStatusBar>

#include "graphs/graph_doc.h"
#include "graphs/graph_generation_dlg.h"
#include "graphs/graph_view.h"
#include "graphs/message_box.h"
#include "graphs/open_graph.h"
#include "gui_fixture.h"
#include "shell/core_dialogs.h"
#include "shell/pad_document.h"

namespace {

constexpr char kSweep[] = "v = 20;\ng = 9.81;\nr = v^2*SIN(2*a)/g;\n";

// A sweep answer in words: its variables by name, then its numbers.
QString Described(const SweepChoice& c, const std::vector<std::string>& names) {
    const auto name = [&names](int at) {
        return at >= 1 && at <= int(names.size()) ? QString::fromStdString(names[at - 1])
                                                  : QStringLiteral("?");
    };
    return QStringLiteral("%1 %2..%3/%4 %5 %6 %7..%8/%9 %10")
        .arg(name(c.variable))
        .arg(c.from)
        .arg(c.to)
        .arg(c.intervals)
        .arg(c.secondParameter)
        .arg(name(c.parameter))
        .arg(c.paramFrom)
        .arg(c.paramTo)
        .arg(c.paramIntervals)
        .arg(c.writeFft);
}

}  // namespace

// What a run leaves behind for the user: the result file, the graphs drawn from it, and what
// the status bar and the Output window say about it.
class tst_RunOutcome : public guitest::FrameTest {
    Q_OBJECT
   private slots:
    void init() {
        StartFrame();
        graphMessages_.clear();
        graphs::SetMessageHandler(
            [this](QWidget*, const QString& text) { graphMessages_ << text; });
    }
    void cleanup() {
        graphs::SetMessageHandler(nullptr);
        StopFrame();
    }

    // A sweep that does not happen leaves the last one's table, and the graph drawn from it, as
    // they were; one that stops at its first step leaves the graph its picture. The status bar
    // says why ("": the line the Output window ends with).
    void aSweepWithoutRowsKeepsTheResults_data() {
        guitest::RowsFrom("sweeps_without_rows.txt", {"from", "intervals", "status"});
    }
    void aSweepWithoutRowsKeepsTheResults() {
        QFETCH(QString, from);
        QFETCH(QString, intervals);
        QFETCH(QString, status);
        PadView* view = openDocument("root.alg", "x*x = y;\n");
        answerSweep("y", 1, 2, 2);
        action("actionGraphGenerate")->trigger();
        QVERIFY(waitForRun());
        const QByteArray before = guitest::ReadFile(path("root.PRN"));
        QVERIFY(frame_->output()->toPlainText().endsWith(
            "3 rows written to " + QDir::toNativeSeparators(path("root.PRN")) + "\n"));
        CGraphView* graph =
            CreateGraph(&view->padDocument()->graphs(), path("root.PRN"),
                        {graphs::GraphCurve{"y", "x", "", "", ""}}, graphs::GraphLayout{});
        docs().AddGraphWindow(graph);
        QSignalSpy redrawn(graph->Document(), &CGraphDoc::Changed);

        answerSweep("y", from.toDouble(), from.toDouble() + 1, intervals.toInt());
        docs().Activate(view);
        action("actionGraphGenerate")->trigger();
        QVERIFY(waitForRun());
        QCOMPARE(redrawn.count(), 0);
        QVERIFY(!frame_->output()->toPlainText().contains("rows written"));
        QCOMPARE(graphMessages_, QStringList());
        const QString shown = frame_->statusBar()->currentMessage();
        if (status.isEmpty()) {
            QVERIFY2(shown != "Ready" && frame_->output()->toPlainText().contains(shown),
                     qPrintable(shown));
        } else {
            QCOMPARE(shown, status);
            QCOMPARE(guitest::ReadFile(path("root.PRN")), before);
        }
    }

    // A solve that finds no solution, or text the compiler rejects, says why in the status bar.
    void aFailedSolveSaysWhyInTheStatusBar_data() {
        guitest::RowsFrom("failed_solves.txt", {"text", "status"});
    }
    void aFailedSolveSaysWhyInTheStatusBar() {
        QFETCH(QString, text);
        QVERIFY(solve(openDocument("f.alg", text.toLatin1())));
        QVERIFY(waitForRun());
        QTEST(frame_->statusBar()->currentMessage(), "status");
        QVERIFY(solve(openDocument("g.alg", "x = 1;\n")));
        QVERIFY(waitForRun());
        QCOMPARE(frame_->statusBar()->currentMessage(), QStringLiteral("Ready"));
    }

    // The dialog offers the document's last answer again, its variables found by name; another
    // document starts from the usual values.
    void graphGenerationStartsFromTheDocumentsLastAnswer() {
        QStringList offered;
        std::vector<std::string> first;
        app_->runner().dialogs().graphGeneration =
            [&](QWidget*, const std::vector<std::string>& names, SweepChoice& choice) {
                if (first.empty()) first = names;
                offered << Described(choice, names);
                choice = {guitest::VariableNumber(names, "a"), 0.25, 1.25, 3, true,
                          guitest::VariableNumber(names, "v"), 10,   20,   2, false};
                return true;
            };
        PadView* view = openDocument("sw2.alg", kSweep);
        action("actionGraphGenerate")->trigger();
        QVERIFY(waitForRun());
        QCOMPARE(offered.value(0), Described(SweepChoice{}, first));
        // The variables move in the list the dialog offers.
        view->setPlainText(QStringLiteral("b = 1;\n") + kSweep);
        action("actionGraphGenerate")->trigger();
        QVERIFY(waitForRun());
        QCOMPARE(offered.value(1), QStringLiteral("a 0.25..1.25/3 1 v 10..20/2 0"));
        openDocument("other.alg", kSweep);
        action("actionGraphGenerate")->trigger();
        QVERIFY(waitForRun());
        QCOMPARE(offered.value(2), Described(SweepChoice{}, first));
    }

    // The dialog shows an answer given to it as the one it gives back: one variable, a
    // parametric sweep, a sweep for FFT.
    void theSweepDialogShowsTheAnswerItIsGiven() {
        const std::vector<std::string> names{"a", "b", "c"};
        for (const SweepChoice& choice : {SweepChoice{2, -1.5, 2.5, 40, false, 1, 0, 5, 5, false},
                                          SweepChoice{3, 0.125, 8, 7, true, 1, -2, 2, 4, false},
                                          SweepChoice{1, 0, 3, 256, false, 1, 0, 5, 5, true}}) {
            CGraphGenerationDlg dialog(names);
            ShowSweepChoice(dialog, choice);
            QCOMPARE(Described(dialog.Choice(), names), Described(choice, names));
        }
    }

   private:
    QStringList graphMessages_;
};

QTEST_MAIN(tst_RunOutcome)
#include "tst_runoutcome.moc"
