#include <QProgressBar>
#include <QStatusBar>

#include "core/base/bounds.h"
#include "graphs/graph_doc.h"
#include "graphs/graph_generation_dlg.h"
#include "graphs/graph_view.h"
#include "graphs/message_box.h"
#include "graphs/open_graph.h"
#include "gui_fixture.h"
#include "shell/core_dialogs.h"
#include "shell/pad_document.h"

using guitest::Row;

Q_DECLARE_METATYPE(SweepChoice)

namespace {

constexpr char kSweep[] = "v = 20;\ng = 9.81;\nr = v^2*SIN(2*a)/g;\n";

// The dialog's answer: `variable` swept over `intervals` intervals, or Esc for 0.
void AnswerSweep(EquationApp& app, int intervals, const char* variable = "a") {
    app.runner().dialogs().graphGeneration = [intervals, variable](
                                                 QWidget*, const std::vector<std::string>& names,
                                                 SweepChoice& choice) {
        if (intervals == 0) return false;
        choice.variable = int(std::find(names.begin(), names.end(), variable) - names.begin()) + 1;
        choice.from = 0.1;
        choice.to = 1.5;
        choice.intervals = intervals;
        return true;
    };
}

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

    // A sweep that stops at its first step leaves no table to draw: the graph keeps its
    // picture, and the status bar says why.
    void aSweepWithoutRowsKeepsTheGraphsPicture() {
        double from = 1;
        app_->runner().dialogs().graphGeneration = [&from](QWidget*,
                                                           const std::vector<std::string>& names,
                                                           SweepChoice& choice) {
            choice.variable = int(std::find(names.begin(), names.end(), "y") - names.begin()) + 1;
            choice.from = from;
            choice.to = from + 1;
            choice.intervals = 2;
            return true;
        };
        PadView* view = openDocument("root.alg", "x*x = y;\n");
        action("actionGraphGenerate")->trigger();
        QVERIFY(waitForRun());
        QVERIFY(guitest::ReadFile(path("root.PRN")).count('\n') == 4);
        CGraphView* graph =
            CreateGraph(&view->padDocument()->graphs(), path("root.PRN"),
                        {graphs::GraphCurve{"y", "x", "", "", ""}}, graphs::GraphLayout{});
        docs().AddGraphWindow(graph);
        QSignalSpy redrawn(graph->Document(), &CGraphDoc::Changed);

        // No square is negative: the first step already fails.
        from = -10;
        docs().Activate(view);
        action("actionGraphGenerate")->trigger();
        QVERIFY(waitForRun());
        QCOMPARE(redrawn.count(), 0);
        QCOMPARE(graphMessages_, QStringList());
        const QString status = frame_->statusBar()->currentMessage();
        QVERIFY2(status != "Ready" && frame_->output()->toPlainText().contains(status),
                 qPrintable(status));
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

    // The dialog offers the document's last answer again, its variables found by name; another
    // document starts from the usual values.
    void graphGenerationStartsFromTheDocumentsLastAnswer() {
        QStringList offered;
        std::vector<std::string> first;
        app_->runner().dialogs().graphGeneration =
            [&](QWidget*, const std::vector<std::string>& names, SweepChoice& choice) {
                if (first.empty()) first = names;
                offered << Described(choice, names);
                const auto at = [&names](const char* n) {
                    return int(std::find(names.begin(), names.end(), n) - names.begin()) + 1;
                };
                choice = {at("a"), 0.25, 1.25, 3, true, at("v"), 10, 20, 2, false};
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

    // The dialog shows an answer given to it as the one it gives back.
    void theSweepDialogShowsTheAnswerItIsGiven_data() {
        guitest::Columns<SweepChoice>("choice");
        Row("one variable", SweepChoice{2, -1.5, 2.5, 40, false, 1, 0, 5, 5, false});
        Row("parametric", SweepChoice{3, 0.125, 8, 7, true, 1, -2, 2, 4, false});
        Row("for FFT", SweepChoice{1, 0, 3, 256, false, 1, 0, 5, 5, true});
    }
    void theSweepDialogShowsTheAnswerItIsGiven() {
        QFETCH(SweepChoice, choice);
        const std::vector<std::string> names{"a", "b", "c"};
        CGraphGenerationDlg dialog(names);
        ShowSweepChoice(dialog, choice);
        QCOMPARE(Described(dialog.Choice(), names), Described(choice, names));
    }

   private:
    QStringList graphMessages_;
};

QTEST_MAIN(tst_RunOutcome)
#include "tst_runoutcome.moc"
