#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "core/base/limits.h"
#include "core/base/modes.h"
#include "shell/editor_profile.h"
#include "shell/editor_settings.h"

class CGraphView;
class CoreRunner;
class GraphList;
class QDialog;
class PadView;
class QSettings;
class QWidget;

// The application object: the program-wide display flags, the path a new document is filled
// from, the view that ran the core last, and the few points where the shell asks the user
// something (message boxes, file dialogs), which tests may answer instead.
class EquationApp : public QObject {
    Q_OBJECT
   public:
    EquationApp();
    ~EquationApp() override;

    static EquationApp* instance();

    // The application profile (sections "Settings", "General", "Font", ...).
    static std::unique_ptr<QSettings> Profile();

    CoreRunner& runner() { return *runner_; }

    // Display flags of the General page, read by the core during a run.
    bool showDerivativeInformation = false;
    bool showResultsForEachIteration = false;
    bool showResultsInOutputView = true;
    // The capacity of every run, program-wide and kept in the profile; a document's own
    // CAPACITY= field still overrides it.
    int capacity = Limits::kDefaultCapacity;
    // How every run minimizes, program-wide and kept in the profile; a document's own ROUTE=
    // word still overrides it.
    OptimizationRoute optimizationRoute = OptimizationRoute::kDirect;
    // Writes the capacity and the optimization route to the profile.
    void WriteRunOptions() const;

    // The editor's settings as they are now; only what changed since start-up is written back
    // at exit.
    EditorSettings editor;
    void ReadSettings();
    void WriteSettings() const;

    // When set as a new document's view is first shown, the file's lines fill the document.
    QString convertFilePath;
    // The view the core runs for, or ran for last; while the core is busy its document may not
    // close.
    QPointer<PadView> activeView;

    // The user-facing questions. Each hook, when set, answers in place of the dialog.
    using MessageHook = std::function<void(const QString& text, QMessageBox::Icon icon)>;
    using FileHook = std::function<QString(const QString& title, const QString& filter)>;
    using QuestionHook = std::function<QMessageBox::StandardButton(const QString& text)>;
    // Runs a modal dialog of the shell's own (options, results, fonts, page setup...) in
    // place of exec() and returns its result.
    using ExecHook = std::function<int(QDialog& dialog)>;
    // Opens a graph of a result file (the graph-set dialog first).
    using GraphOpener =
        std::function<CGraphView*(GraphList* owner, const QString& path, QWidget* parent)>;
    MessageHook messageHook;
    FileHook openFileHook;
    FileHook saveFileHook;
    QuestionHook questionHook;
    ExecHook execHook;
    GraphOpener graphOpener;

    // A modal box captioned with the program's name, with an OK button.
    void Message(QWidget* parent, const QString& text,
                 QMessageBox::Icon icon = QMessageBox::Information);
    QString OpenFileName(QWidget* parent, const QString& title, const QString& filter);
    // Appends defaultSuffix when the chosen name has none.
    QString SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& suggested, const QString& defaultSuffix);
    QMessageBox::StandardButton AskSaveChanges(QWidget* parent, const QString& text);
    int Exec(QDialog& dialog);

   private:
    std::unique_ptr<CoreRunner> runner_;
    EditorProfile editorProfile_;
};
