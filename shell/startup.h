#pragma once

#include <QString>
#include <QStringList>

#include "shell/screenshot.h"

// What the command line of valdrix-gui asks for.
struct GuiArguments {
    enum class Mode { kRun, kHelp, kVersion, kError };
    Mode mode = Mode::kRun;
    bool splash = true;
    QStringList documents;         // none: start with a new document
    ScreenshotRequest screenshot;  // with a file: run the one document, save a picture, quit
    QString error;
};

GuiArguments ParseGuiArguments(const QStringList& args);  // without the program name
QString GuiUsageText();

// The whole program: start-up, the event loop, the exit status.
int RunGuiApplication(int argc, char** argv);
