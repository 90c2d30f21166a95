#include "core/run/symbolic_commands.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/base/core_state.h"
#include "core/eval/compile.h"
#include "core/lang/parser.h"
#include "core/run/advanced_operations.h"
#include "core/run/entry.h"
#include "core/run/regression.h"
#include "core/run/run_setup.h"
#include "core/solve/solve_system.h"
#include "core/symbolic/jacobian_file.h"

void ReopenWork(CoreState& s, const char* extension) {
    FreeEquations(s);
    Close(s.files.work);
    Assign(s.files.work, s.files.baseName + extension);
    Reset(s.files.work);
}

void CommandAdvanced(CoreState& s, const char* command) {
    CompileDocument(s);
    if (s.flags.parseError) return;
    if (IsRegressionCommand(command)) {
        CommandRegression(s, command, FitRoute::kDirect);
        return;
    }
    const char* keys = command + 1;
    const bool solveAfter = std::strlen(command) >= 3 && command[2] == 'R';
    AdvancedOperations(s, keys);
    if (!s.flags.jacobianRequested || s.flags.stop) return;
    BuildJacobianFile(s);
    if (solveAfter) {
        // Nothing is solved unless this run wrote the terms: an older base.SJC would be
        // another problem's.
        if (!AdvancedOperations(s, "SJ")) return;
        ReopenWork(s, ".SJC");
        SolveSystem(s);
    } else if (!s.flags.jacobianNeeded) {
        AdvancedOperations(s, keys);
    }
}

void CommandOptimize(CoreState& s, const char*) {
    const std::string path = s.files.documentPath;
    const std::string terms = s.files.baseName + ".SJC";
    std::remove(terms.c_str());  // what is solved below must come from this run
    SolverEntry(s, path.c_str(), "ASJ");
    if (s.flags.parseError || !Exists(terms)) return;
    ReopenWork(s, ".SJC");
    Close(s.files.result);
    Assign(s.files.result, s.files.baseName + ".PRN");
    s.files.result.scratch = true;
    Rewrite(s.files.result);
    SolveSystem(s);
}

void CommandConstrained(CoreState& s, const char* command) {
    CompileDocument(s);
    if (s.flags.parseError) return;
    // Only the Lagrangian written to base.KTK goes on to be solved.
    if (!AdvancedOperations(s, command + 1) || s.flags.stop || !s.flags.jacobianRequested) return;
    ReopenWork(s, ".KTK");
    ParseEquationsComplex(s);
    if (s.flags.parseError) return;
    BuildJacobianFile(s);
    if (s.flags.jacobianNeeded || !AdvancedOperations(s, "SJ")) return;
    ReopenWork(s, ".SJC");
    SolveSystem(s);
}
