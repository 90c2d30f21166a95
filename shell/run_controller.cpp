#include "shell/run_controller.h"

#include <QApplication>
#include <QDir>

#include "shell/core_runner.h"
#include "shell/document_manager.h"
#include "shell/equation_app.h"
#include "shell/equation_locator.h"
#include "shell/fit_summary.h"
#include "shell/output_window.h"
#include "shell/pad_document.h"
#include "shell/pad_view.h"
#include "shell/properties_tree.h"
#include "shell/shell_messages.h"

QString DifferentialCommand(std::uint32_t method) {
    // Trapezoidal has its own command; every other method goes the backward way.
    return method == 0 ? QStringLiteral("DDIT") : QStringLiteral("DDIB");
}

RunController::RunController(EquationApp& app, DocumentManager& documents,
                             PropertiesTree& properties, OutputWindow& output,
                             QWidget& dialogParent)
    : QObject(&dialogParent),
      app_(app),
      documents_(documents),
      properties_(properties),
      output_(output),
      dialogParent_(dialogParent) {
    connect(&app_.runner(), &CoreRunner::finished, this, &RunController::Finish);
}

bool RunController::Prepare(PadView* view) {
    if (view == nullptr) return false;
    if (app_.runner().busy()) {
        app_.Message(view, QString::fromLatin1(msg::kRunInProgress), QMessageBox::Warning);
        return false;
    }
    PadDocument* doc = view->padDocument();
    if (doc->isModified()) documents_.Save(view);
    // A document that has never been saved is saved now and the command ends: the user runs
    // it again on the saved file.
    if (doc->path().isEmpty()) {
        documents_.Save(view);
        return false;
    }
    return true;
}

bool RunController::Start(PadView* view, const QString& command, RunKind kind) {
    output_.ClearText();
    app_.activeView = view;
    GuiShellServices& services = app_.runner().services();
    services.showDerivatives.store(app_.showDerivativeInformation);
    services.showIterations.store(app_.showResultsForEachIteration);
    services.showResults.store(app_.showResultsInOutputView);
    services.dialogParent = &dialogParent_;
    PadDocument* doc = view->padDocument();
    services.sweepMemory = &doc->sweepMemory;
    ShellSettingsRecord record = corebridge::RecordFor(doc->settings);
    record.capacity = app_.capacity;
    record.optimizationRoute = app_.optimizationRoute;
    if (!app_.runner().start(doc->path(), command, record)) return false;
    running_ = true;
    runView_ = view;
    runKind_ = kind;
    revisionAtRun_ = view->document()->revision();
    // Only these commands solve the document's own equations; the others number the equations
    // of a set they rewrote.
    runNumbersDocument_ = command == QLatin1String("S") || command == QLatin1String("US") ||
                          command == QLatin1String("G");
    if (kind != RunKind::kSolve) view->viewport()->setCursor(Qt::BusyCursor);
    emit runStarted();
    return true;
}

bool RunController::RunCommand(PadView* view, const QString& command) {
    if (!Prepare(view)) return false;
    return Start(view, command, RunKind::kCoreCommand);
}

bool RunController::Solve(PadView* view) {
    if (!Prepare(view)) return false;
    const bool attached = view->padDocument()->hasAttachment();
    return Start(view, attached ? QStringLiteral("US") : QStringLiteral("S"), RunKind::kSolve);
}

bool RunController::Estimate(PadView* view) {
    if (view == nullptr) return false;
    if (!view->padDocument()->hasAttachment()) {
        QApplication::beep();
        app_.Message(&dialogParent_, QString::fromLatin1(msg::kListFileMustBeAttached),
                     QMessageBox::Warning);
        return false;
    }
    if (!Prepare(view)) return false;
    return Start(view, QStringLiteral("ALR"), RunKind::kFit);
}

void RunController::Cancel() {
    app_.runner().cancel();
}

void RunController::Finish(const CoreRunOutcome& outcome) {
    if (!running_) return;
    running_ = false;
    app_.runner().services().sweepMemory = nullptr;
    status_ = StatusAfter(outcome);
    // A sweep says where its rows went; a solve's one row needs no word.
    if (!outcome.written.file.isEmpty() && app_.runner().lastCommand() == QLatin1String("G")) {
        output_.AppendOutput(QString::fromLatin1(msg::kRowsWritten)
                                 .arg(outcome.written.rows)
                                 .arg(QDir::toNativeSeparators(outcome.written.file)) +
                             u'\n');
    }
    PadView* view = runView_;
    if (view != nullptr) {
        PadDocument* doc = view->padDocument();
        if (runKind_ != RunKind::kCoreCommand) {
            doc->settings.lastResult = static_cast<std::uint32_t>(outcome.result);
            // A fit shows its estimates with their standard errors; one that failed shows where
            // it stopped, as a failed solve does.
            QStringList shown = outcome.resultLines;
            if (runKind_ == RunKind::kFit && outcome.result == 1) {
                const QStringList fit = FitSummaryLines(doc->baseName() + QStringLiteral(".FIT"));
                if (!fit.isEmpty()) shown = fit;
            }
            doc->node = properties_.ReplaceNode(doc->node, doc->settings, doc->path(), shown);
        }
        if (runKind_ != RunKind::kSolve) {
            view->viewport()->unsetCursor();
            // A run refused, or stopped before its first row, left no table: the graphs keep
            // the picture of the last one.
            if (outcome.done || outcome.cancelled || !outcome.written.file.isEmpty())
                doc->graphs().UpdateAll();
        }
        PlaceCompilerError(view, outcome.compilerErrorPosition);
    }
    emit runFinished(view, outcome.result);
}

QString RunController::StatusAfter(const CoreRunOutcome& outcome) const {
    if (outcome.done || outcome.cancelled) return QString::fromLatin1(msg::kReady);
    // A solve that ran to its end closes with its timing, not with why it failed.
    if (runKind_ != RunKind::kCoreCommand && !outcome.compilerErrorPosition)
        return QString::fromLatin1(msg::kNoSolution);
    // Otherwise the run stopped at the reason it printed last: a compile error, a refused
    // command.
    const QString reason = output_.LastLine();
    return reason.isEmpty() ? QString::fromLatin1(msg::kReady) : reason;
}

void RunController::PlaceCompilerError(PadView* view, std::optional<int> workPosition) {
    // Positions hold only for the text the run read.
    if (!workPosition || view->document()->revision() != revisionAtRun_) return;
    view->ShowCompilerError(*workPosition);
}

bool RunController::JumpToOutputLine(const QString& line) {
    const auto ref = locator::ReferenceIn(line);
    PadView* view = runView_;
    if (!ref || view == nullptr) return false;
    if (ref->kind == locator::Reference::Kind::kCharacter) {
        view->ShowCompilerError(ref->number);
    } else if (!runNumbersDocument_ || !view->SelectEquation(ref->number)) {
        return false;
    }
    documents_.Activate(view);
    view->setFocus();
    return true;
}
