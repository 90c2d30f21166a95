#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "graphs/tool/graph_tool.h"

int main(int argc, char** argv) {
    // Batch jobs have no display: draw offscreen unless a platform was chosen.
    bool platformGiven = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-platform" || a == "--platform") platformGiven = true;
    }
    if (!platformGiven) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Starting up, Qt looks into the session's runtime folder (for the marker of a sandbox).
    // Batch jobs often have none; Qt then warns on stderr and makes one of its own under /tmp.
    // The program lends it a private, empty folder for the run instead.
    std::optional<QTemporaryDir> runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime.emplace();
        if (runtime->isValid()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    }
    QGuiApplication app(argc, argv);

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    const graphs::GraphToolArgs parsed = graphs::ParseGraphToolArgs(args);
    if (!parsed.options) {
        std::cerr << "valdrix-graph: " << parsed.error << "\n" << graphs::GraphToolUsage();
        return 2;
    }
    return graphs::RunGraphTool(*parsed.options, std::cout, std::cerr);
}
