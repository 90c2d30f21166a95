#include "cli/import_command.h"

#include <string>
#include <vector>

#include "import/convert.h"

namespace {

constexpr const char* kImportUsage =
    "usage: valdrix import-cf [--full-model] FILE.cf [OUT.alg]\n"
    "  Writes the power-flow equations of an IEEE Common Format file as an equation document\n"
    "  (default OUT: FILE up to its first '.', then .ALG).\n"
    "  --full-model  also model transformer taps, phase shifters and bus shunts\n"
    "exit status: 0 written, 1 refused or not written, 2 usage error\n";

// What a wrong command line exits with, as the other commands do.
constexpr int kUsageStatus = 2;

}  // namespace

int RunImportCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
    ImportOptions options;
    std::vector<std::string> paths;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--full-model") {
            options.fullModel = true;
        } else if (arg == "--help" || arg == "-h") {
            out << kImportUsage;
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << "valdrix import-cf: unknown option '" << arg << "'\n" << kImportUsage;
            return kUsageStatus;
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.empty() || paths.size() > 2) {
        err << "valdrix import-cf: expected an input file and at most one output file\n"
            << kImportUsage;
        return kUsageStatus;
    }
    const ImportResult result =
        ConvertCommonFormat(paths[0], paths.size() == 2 ? paths[1] : "", options);
    if (!result.ok) {
        err << "valdrix import-cf: " << paths[0] << ": " << result.message << '\n';
        return 1;
    }
    out << result.message << '\n';
    return 0;
}
