#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/import_command.h"
#include "cli/run_document.h"

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "import-cf") == 0) {
        return RunImportCommand(argc - 2, argv + 2, std::cout, std::cerr);
    }
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedCommandLine parsed = ParseCommandLine(args);
    if (!parsed.ok) {
        std::fprintf(stderr, "valdrix: %s\n%s", parsed.error.c_str(), UsageText().c_str());
        return 2;
    }
    switch (parsed.options.mode) {
        case CliOptions::Mode::kHelp: std::fputs(UsageText().c_str(), stdout); return 0;
        case CliOptions::Mode::kVersion: std::printf("valdrix %s\n", VALDRIX_VERSION); return 0;
        case CliOptions::Mode::kRun:
        case CliOptions::Mode::kCheck: break;
    }
    return RunDocument(parsed.options, stdout, stderr);
}
