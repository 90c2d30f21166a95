#include "shell/equation_app.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

#include "core/base/solver_options.h"
#include "graphs/open_graph.h"
#include "shell/core_bridge.h"
#include "shell/core_runner.h"
#include "shell/settings_keys.h"
#include "shell/shell_messages.h"

namespace {
EquationApp* gInstance = nullptr;
}

EquationApp::EquationApp() : runner_(std::make_unique<CoreRunner>()) {
    gInstance = this;
    graphOpener = OpenGraph;
}

void EquationApp::ReadSettings() {
    auto profile = Profile();
    editor = editorProfile_.Read(*profile);
    // A value the settings do not allow (edited by hand) leaves the default.
    bool ok = false;
    const int stored = profile->value(keys::kCapacity).toInt(&ok);
    if (ok && InDomain(Describe(SolverOption::kCapacity), stored)) capacity = stored;
    const int route = profile->value(keys::kOptimizationRoute).toInt(&ok);
    if (ok && InDomain(Describe(SolverOption::kOptimizationRoute), route))
        optimizationRoute = static_cast<OptimizationRoute>(route);
}

void EquationApp::WriteRunOptions() const {
    auto profile = Profile();
    profile->setValue(keys::kCapacity, capacity);
    profile->setValue(keys::kOptimizationRoute, static_cast<int>(optimizationRoute));
}

void EquationApp::WriteSettings() const {
    auto profile = Profile();
    editorProfile_.Write(*profile, editor);
}

int EquationApp::Exec(QDialog& dialog) {
    if (execHook) return execHook(dialog);
    return dialog.exec();
}

EquationApp::~EquationApp() {
    if (gInstance == this) gInstance = nullptr;
}

EquationApp* EquationApp::instance() {
    return gInstance;
}

std::unique_ptr<QSettings> EquationApp::Profile() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QCoreApplication::organizationName(),
                                       QCoreApplication::applicationName());
}

void EquationApp::Message(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    if (messageHook) {
        messageHook(text, icon);
        return;
    }
    QMessageBox box(icon, QString::fromLatin1(msg::kProgramName), text, QMessageBox::Ok, parent);
    box.exec();
}

QString EquationApp::OpenFileName(QWidget* parent, const QString& title, const QString& filter) {
    if (openFileHook) return openFileHook(title, filter);
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString EquationApp::SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                  const QString& suggested, const QString& defaultSuffix) {
    QString chosen;
    if (saveFileHook) {
        chosen = saveFileHook(title, filter);
    } else {
        QFileDialog dialog(parent, title, suggested, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            chosen = dialog.selectedFiles().first();
        }
    }
    if (!chosen.isEmpty() && !defaultSuffix.isEmpty() && QFileInfo(chosen).suffix().isEmpty()) {
        chosen += u'.' + defaultSuffix;
    }
    return chosen;
}

QMessageBox::StandardButton EquationApp::AskSaveChanges(QWidget* parent, const QString& text) {
    if (questionHook) return questionHook(text);
    return QMessageBox::question(parent, QString::fromLatin1(msg::kProgramName), text,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                 QMessageBox::Yes);
}
