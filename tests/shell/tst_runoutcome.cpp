#include <QProgressBar>
#include <QStatusBar>

#include "core/base/bounds.h"
#include "graphs/graph_doc.h"
#include "graphs/graph_view.h"
#include "graphs/message_box.h"
#include "graphs/open_graph.h"
#include "gui_fixture.h"
#include "shell/pad_document.h"

using guitest::Row;

namespace {

constexpr char kSweep[] = "v = 20;\ng = 9.81;\nr = v^2*SIN(2*a)/g;\n";

// The dialog's answer: a swept over `intervals` intervals, or Esc for 0.
void AnswerSweep(EquationApp& app, int intervals) {
    app.runner().dialogs().graphGeneration =
        [intervals](QWidget*, const std::vector<std::string>& names, SweepChoice& choice) {
            if (intervals == 0) return false;
            choice.variable = int(std::find(names.begin(), names.end(), "a") - names.begin()) + 1;
            choice.from = 0.1;
            choice.to = 1.5;
            choice.intervals = intervals;
            return true;
        };
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

    // A sweep that does not happen leaves the last one's table, and the graph drawn from it,
    // as they were, and says why nothing changed.
    void aSweepThatDoesNotRunKeepsTheResults_data() {
        guitest::Columns<int, QString>("intervals", "status");
        Row("dialog cancelled", 0, "Ready");
        Row("too many steps", int(kMaxSweepSteps),
            "Sweep: too many steps; one sweep takes at most 1000000");
    }
    void aSweepThatDoesNotRunKeepsTheResults() {
        QFETCH(int, intervals);
        PadView* view = openDocument("sw2.alg", kSweep);
        AnswerSweep(*app_, 4);
        action("actionGraphGenerate")->trigger();
        QVERIFY(waitForRun());
        const QByteArray before = guitest::ReadFile(path("sw2.PRN"));
        QVERIFY(frame_->output()->toPlainText().endsWith(
            "5 rows written to " + QDir::toNativeSeparators(path("sw2.PRN")) + "\n"));
        CGraphView* graph =
            CreateGraph(&view->padDocument()->graphs(), path("sw2.PRN"),
                        {graphs::GraphCurve{"a", "r", "", "", ""}}, graphs::GraphLayout{});
        docs().AddGraphWindow(graph);
        QSignalSpy redrawn(graph->Document(), &CGraphDoc::Changed);

        AnswerSweep(*app_, intervals);
        docs().Activate(view);
        action("actionGraphGenerate")->trigger();
        QVERIFY(waitForRun());
        QCOMPARE(guitest::ReadFile(path("sw2.PRN")), before);
        QCOMPARE(redrawn.count(), 0);
        QVERIFY(!frame_->output()->toPlainText().contains("rows written"));
        QCOMPARE(graphMessages_, QStringList());
        QTEST(frame_->statusBar()->currentMessage(), "status");
    }

    // A solve that finds no solution, or text the compiler rejects, says why in the status bar.
    void aFailedSolveSaysWhyInTheStatusBar_data() {
        guitest::Columns<QByteArray, QString>("text", "status");
        Row("no solution", QByteArray("x*x = -1;\n"),
            "No solution found: the Output window shows where the solve stopped");
        Row("parse error", QByteArray("x = 1 +# 2;\n"), "Illegal Character #35 at character 8");
    }
    void aFailedSolveSaysWhyInTheStatusBar() {
        QFETCH(QByteArray, text);
        QVERIFY(solve(openDocument("f.alg", text)));
        QVERIFY(waitForRun());
        QTEST(frame_->statusBar()->currentMessage(), "status");
        QVERIFY(solve(openDocument("g.alg", "x = 1;\n")));
        QVERIFY(waitForRun());
        QCOMPARE(frame_->statusBar()->currentMessage(), QStringLiteral("Ready"));
    }

   private:
    QStringList graphMessages_;
};

QTEST_MAIN(tst_RunOutcome)
#include "tst_runoutcome.moc"
