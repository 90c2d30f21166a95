#include "core/run/symbolic_commands.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/base/core_state.h"
#include "core/drive/solve_system.h"
#include "core/eval/compile.h"
#include "core/lang/parser.h"
#include "core/run/advanced_operations.h"
#include "core/run/optimization_commands.h"
#include "core/run/regression.h"
#include "core/run/run_frame.h"
#include "core/run/run_messages.h"
#include "core/run/run_setup.h"
#include "core/symbolic/jacobian_file.h"

namespace {

// Runs operations that may want the symbolic Jacobian terms. With the incremental Jacobian
// there are none to write: that is said, as the run would otherwise end without a word.
bool RunOperations(CoreState& s, const char* keys) {
    const bool written = AdvancedOperations(s, keys);
    if (!written && s.flags.jacobianRequested && !s.flags.jacobianNeeded &&
        s.settings.jacobianMode != JacobianMode::kSymbolic) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, run_message::kExactJacobianNeeded);
        ConsoleWriteLine(s.console);
        WarningBeep(s);
    }
    return written;
}

}  // namespace

bool CommandAdvanced(CoreState& s, const char* command) {
    CompileDocument(s);
    if (s.flags.parseError) return false;
    if (IsRegressionCommand(command)) {
        const bool direct = s.settings.optimizationRoute == OptimizationRoute::kDirect;
        return CommandRegression(s, command, direct ? FitRoute::kDirect : FitRoute::kRewrite);
    }
    const char* keys = command + 1;
    const bool solveAfter = std::strlen(command) >= 3 && command[2] == 'R';

    const bool written = AdvancedOperations(s, keys);
    if (!s.flags.jacobianRequested || s.flags.stop) return written && !solveAfter;
    BuildJacobianFile(s);
    if (s.flags.jacobianNeeded) return false;  // the build has said why
    if (!solveAfter) return RunOperations(s, keys);
    // Nothing is solved unless this run wrote the terms: an older base.SJC would be another
    // problem's.
    if (!RunOperations(s, "SJ")) return false;
    ReopenWork(s, ".SJC");
    return SolveSystem(s);
}

bool CommandOptimize(CoreState& s, const char*) {
    const std::string path = s.files.documentPath;
    const std::string terms = s.files.baseName + ".SJC";
    std::remove(terms.c_str());  // what is solved below must come from this run
    RunFrame(s, path.c_str(), [&s] { return CommandAdvanced(s, "ASJ"); });
    if (s.flags.parseError || !Exists(terms)) return false;
    return MinimizeDocument(s, false);
}

bool CommandConstrained(CoreState& s, const char* command) {
    CompileDocument(s);
    if (s.flags.parseError) return false;
    // Only the Lagrangian written to base.KTK goes on to be solved.
    if (!AdvancedOperations(s, command + 1) || s.flags.stop || !s.flags.jacobianRequested)
        return false;
    ReopenWork(s, ".KTK");
    ParseEquationsComplex(s);
    if (s.flags.parseError) return false;
    BuildJacobianFile(s);
    if (s.flags.jacobianNeeded || !AdvancedOperations(s, "SJ")) return false;
    return MinimizeDocument(s, true);
}
