#include "shell/core_runner.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QMetaObject>

#include "shell/charset.h"
#include "shell/shell_messages.h"

GuiShellServices::GuiShellServices(QObject* uiContext, const CoreDialogFactory* dialogs,
                                   RunFeed* feed)
    : ui_(uiContext), dialogs_(dialogs), feed_(feed) {}

template <typename F>
void GuiShellServices::OnUiThread(F&& f) {
    if (shuttingDown.load()) return;
    QMetaObject::invokeMethod(
        ui_,
        [&] {
            if (shuttingDown.load()) return;
            feed_->Flush();
            f();
        },
        Qt::BlockingQueuedConnection);
}

bool GuiShellServices::GraphGenerationDialog(const std::vector<std::string>& names,
                                             SweepChoice& choice) {
    bool ok = false;
    OnUiThread([&] {
        if (!dialogs_->graphGeneration) return;
        if (sweepMemory != nullptr) {
            if (const auto last = sweepMemory->For(names)) choice = *last;
        }
        ok = dialogs_->graphGeneration(dialogParent, names, choice);
        if (ok && sweepMemory != nullptr) sweepMemory->Keep(choice, names);
    });
    return Answered(ok);
}

bool GuiShellServices::FftDialog(const std::vector<std::string>& columns, FftChoice& choice) {
    bool ok = false;
    OnUiThread([&] {
        if (dialogs_->fft) ok = dialogs_->fft(dialogParent, columns, choice);
    });
    return Answered(ok);
}

bool GuiShellServices::FftFileDialog(std::string& path) {
    bool ok = false;
    OnUiThread([&] {
        if (dialogs_->fftFile) ok = dialogs_->fftFile(dialogParent, path);
    });
    return Answered(ok);
}

bool GuiShellServices::MessageBox(const std::string& text) {
    bool shown = false;
    OnUiThread([&] {
        QMessageBox::information(dialogParent, QString::fromLatin1(msg::kProgramName),
                                 charset::ToUnicode(QByteArray::fromStdString(text)));
        shown = true;
    });
    return shown;
}

void GuiShellServices::WarningBeep() {
    QMetaObject::invokeMethod(
        ui_, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

bool GuiShellServices::Answered(bool ok) {
    if (!ok) declined.store(true);
    return ok;
}

int GuiShellServices::PollKey() {
    return cancelled.load() ? kKeyEscape : -1;
}

void GuiShellServices::Progress(long step, long total) {
    feed_->SetProgress(step, total);
}

CoreRunner::CoreRunner(QObject* parent) : QObject(parent), services_(this, &dialogs_, &feed_) {
    dialogs_ = CoreDialogFactory::Standard();
    connect(&feed_, &RunFeed::text, this, &CoreRunner::outputText);
    connect(&feed_, &RunFeed::progressed, this, &CoreRunner::progressed);
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("valdrix-core"));
    thread_.start();
}

CoreRunner::~CoreRunner() {
    // A run still going is told to stop; dialogs it asks for from now on are answered
    // "cancel", and events are processed so that one already waiting for this thread returns.
    services_.shuttingDown.store(true);
    services_.cancelled.store(true);
    thread_.quit();
    while (!thread_.wait(10)) QCoreApplication::processEvents();
    corebridge::SetServices(nullptr);
    corebridge::SetOutput(nullptr);
}

bool CoreRunner::start(const QString& documentPath, const QString& command,
                       const ShellSettingsRecord& record) {
    if (busy_) return false;
    busy_ = true;
    lastCommand_ = command;
    services_.cancelled.store(false);
    services_.declined.store(false);
    const std::string path = QFile::encodeName(documentPath).toStdString();
    const std::string cmd = command.toStdString();
    feed_.Start();
    QMetaObject::invokeMethod(worker_, [this, path, cmd, record] {
        corebridge::SetServices(&services_);
        corebridge::SetOutput([this](const char* text) { feed_.AddText(text); });
        corebridge::Apply(record);
        CoreRunOutcome outcome;
        // A table may have a million rows: they are counted here, off the window's thread.
        const ResultFiles results(corebridge::BaseName(path));
        outcome.result = corebridge::Run(path, cmd);
        outcome.done = corebridge::CommandDone();
        outcome.cancelled = services_.cancelled.load() || services_.declined.load();
        outcome.written = results.Written();
        for (const std::string& line : corebridge::ResultStrings()) {
            outcome.resultLines.append(charset::ToUnicode(QByteArray::fromStdString(line)));
        }
        outcome.compilerErrorPosition = corebridge::CompilerErrorPosition();
        QMetaObject::invokeMethod(
            this,
            [this, outcome] {
                feed_.Stop();
                feed_.Flush();
                busy_ = false;
                emit finished(outcome);
            },
            Qt::QueuedConnection);
    });
    return true;
}
