#pragma once

#include <QString>
#include <QStringList>

// What the command line of valdrix-gui asks for.
struct GuiArguments {
    enum class Mode { kRun, kHelp, kVersion, kError };
    Mode mode = Mode::kRun;
    bool splash = true;
    QString document;    // empty: start with a new document
    QString screenshot;  // solve the document, save a picture of the window here, quit
    QString error;
};

GuiArguments ParseGuiArguments(const QStringList& args);  // without the program name
QString GuiUsageText();

// The whole program: start-up, the event loop, the exit status.
int RunGuiApplication(int argc, char** argv);
