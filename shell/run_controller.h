#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <optional>

class DocumentManager;
class EquationApp;
class OutputWindow;
class PadView;
class PropertiesTree;
class QWidget;
struct CoreRunOutcome;

// The Solve > Differential Equations command string for a differential method.
QString DifferentialCommand(std::uint32_t method);

// Runs the core for a document, one run at a time. Before: the document is saved (one never
// saved is only saved, and the core does not run), the Output window emptied, the settings
// copied. The core then works on its own thread. After: the results go to the document's node
// in the Properties tree, its graphs read their files again, and where the compiler rejected the
// text the caret goes, as long as the text is still the one the run read.
class RunController : public QObject {
    Q_OBJECT
   public:
    // Messages and the core's dialogs open over `dialogParent`, which owns the controller.
    RunController(EquationApp& app, DocumentManager& documents, PropertiesTree& properties,
                  OutputWindow& output, QWidget& dialogParent);

    // One core command for the view's document; false when the core did not start.
    bool RunCommand(PadView* view, const QString& command);
    // Solve (F5): "S", or "US" with an attachment; the result lines go to the Properties tree.
    bool Solve(PadView* view);
    // Estimation and Regression: "ALR" on the attached list file, refused with a message
    // without one; the estimates with their standard errors go to the Properties tree as a
    // solve's values do.
    bool Estimate(PadView* view);
    void Cancel();
    // What the status bar says about the last run: ready when it did its work or was
    // cancelled, otherwise the reason it gave last.
    const QString& status() const { return status_; }

    // A line of the Output window double-clicked: the editor of the last run shows the
    // character or equation it names. False when it names none that document has.
    bool JumpToOutputLine(const QString& line);

   signals:
    void runStarted();
    // The results are shown; `view` is null when the document's window is gone.
    void runFinished(PadView* view, int result);

   private:
    enum class RunKind { kSolve, kFit, kCoreCommand };
    bool Prepare(PadView* view);
    bool Start(PadView* view, const QString& command, RunKind kind);
    void Finish(const CoreRunOutcome& outcome);
    QString StatusAfter(const CoreRunOutcome& outcome) const;
    void PlaceCompilerError(PadView* view, std::optional<int> workPosition);

    EquationApp& app_;
    DocumentManager& documents_;
    PropertiesTree& properties_;
    OutputWindow& output_;
    QWidget& dialogParent_;
    QPointer<PadView> runView_;  // the document of the run going on, or of the last one
    bool running_ = false;       // a run this controller started has not ended
    RunKind runKind_ = RunKind::kSolve;
    int revisionAtRun_ = 0;            // the text's revision when the run read it
    bool runNumbersDocument_ = false;  // the run's equation numbers are the document's own
    QString status_;
};
