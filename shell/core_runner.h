#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <optional>
#include <string>

#include "shell/core_bridge.h"
#include "shell/core_dialogs.h"
#include "shell/result_rows.h"
#include "shell/run_feed.h"
#include "shell/sweep_memory.h"

class QWidget;

// What the core asks of the application during a run, answered from the worker thread: the
// dialogs and the message box open on the user-interface thread and block only the run.
class GuiShellServices : public ShellServices {
   public:
    // Progress goes to `feed`, which the dialogs empty first so that what the run printed
    // before asking shows.
    GuiShellServices(QObject* uiContext, const CoreDialogFactory* dialogs, RunFeed* feed);

    bool GraphGenerationDialog(const std::vector<std::string>& names, SweepChoice& choice) override;
    bool FftDialog(const std::vector<std::string>& columns, FftChoice& choice) override;
    bool FftFileDialog(std::string& path) override;
    bool MessageBox(const std::string& text) override;
    void WarningBeep() override;
    bool ShowDerivativeInformation() override { return showDerivatives.load(); }
    bool ShowIterationResults() override { return showIterations.load(); }
    bool ShowResultsInOutput() override { return showResults.load(); }
    int PollKey() override;
    void Progress(long step, long total) override;

    std::atomic<bool> cancelled{false};     // a pending ESC, seen by every later poll of the run
    std::atomic<bool> declined{false};      // a dialog of the run was answered Cancel
    std::atomic<bool> shuttingDown{false};  // no dialogs any more: they are answered "cancel"
    std::atomic<bool> showDerivatives{false};
    std::atomic<bool> showIterations{false};
    std::atomic<bool> showResults{true};
    QWidget* dialogParent = nullptr;
    SweepMemory* sweepMemory = nullptr;  // the run's document's; touched on the UI thread only

   private:
    bool Answered(bool ok);
    template <typename F>
    void OnUiThread(F&& f);

    QObject* ui_;
    const CoreDialogFactory* dialogs_;
    RunFeed* feed_;
};

// What a run leaves for the application once it has ended.
struct CoreRunOutcome {
    int result = 0;                            // 1 when the last solve found a solution
    QStringList resultLines;                   // name=value of every variable
    std::optional<int> compilerErrorPosition;  // where the compile rejected the text
    bool done = false;                         // the command did its work
    bool cancelled = false;                    // ESC, Cancel or a dialog's Cancel stopped it
    WrittenRows written;                       // the result table, when the run wrote one
};

// Runs the core on a worker thread of its own, one run at a time. Output, progress and the end
// of a run arrive as signals on the user-interface thread, in the order the core produced them;
// output and progress in batches (RunFeed), all of a run's before its end.
class CoreRunner : public QObject {
    Q_OBJECT
   public:
    explicit CoreRunner(QObject* parent = nullptr);
    ~CoreRunner() override;

    // Starts a run; false (and nothing happens) while another run is active.
    bool start(const QString& documentPath, const QString& command,
               const ShellSettingsRecord& record);
    bool busy() const { return busy_; }
    // The command string of the latest run started.
    const QString& lastCommand() const { return lastCommand_; }
    void cancel() { services_.cancelled.store(true); }

    CoreDialogFactory& dialogs() { return dialogs_; }
    GuiShellServices& services() { return services_; }

   signals:
    // Pieces of text in the order the core printed them.
    void outputText(const QByteArrayList& pieces);
    void progressed(long step, long total);
    void finished(const CoreRunOutcome& outcome);

   private:
    QThread thread_;
    QObject* worker_ = nullptr;  // lives on thread_
    CoreDialogFactory dialogs_;
    RunFeed feed_;
    GuiShellServices services_;
    bool busy_ = false;
    QString lastCommand_;
};
