#include "cli/import_command.h"

#include <string>
#include <vector>

#include "core/base/limits.h"
#include "import/convert.h"

namespace {

constexpr const char* kImportUsage =
    "usage: valdrix import-cf [--full-model] FILE.cf [OUT.alg]\n"
    "  Writes the power-flow equations of an IEEE Common Format file as an equation document\n"
    "  (default OUT: FILE up to its first '.', then .ALG).\n"
    "  --full-model  also model transformer taps, phase shifters and bus shunts\n";

// As for the other commands of the program: 1 is a refusal of the input, 2 a command line that
// asks for nothing the command can do.
constexpr int kUsageError = 2;

}  // namespace

int RunImportCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
    ImportOptions options;
    // A run from the command line starts at the default capacity unless told otherwise.
    options.capacity = Limits::kDefaultCapacity;
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
            return kUsageError;
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.empty() || paths.size() > 2) {
        err << "valdrix import-cf: expected an input file and at most one output file\n"
            << kImportUsage;
        return kUsageError;
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
