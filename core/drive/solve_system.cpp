#include "core/drive/solve_system.h"

#include <climits>

#include "core/base/core_state.h"
#include "core/drive/drive_messages.h"
#include "core/drive/stepping.h"
#include "core/eval/compile.h"
#include "core/lang/code_string.h"
#include "core/solve/homotopy.h"
#include "core/solve/if_search.h"
#include "core/solve/results.h"

namespace {

void SaveEquations(CoreState& s) {
    s.solve.savedCode.assign(s.model.eq.size(), nullptr);
    for (int e = 1; e <= s.model.count; ++e) {
        s.solve.savedCode[e] = s.model.eq[e].code;
        s.model.eq[e].code = nullptr;
    }
}

void RestoreSavedCopies(CoreState& s) {
    for (int e = 1; e <= s.model.count; ++e) {
        FreeList(s.pool, s.model.eq[e].code);
        s.model.eq[e].code = CopyList(s.pool, s.solve.savedCode[e]);
    }
    s.flags.jacobianNeeded = true;
}

void FreeSavedEquations(CoreState& s) {
    for (CodeNode*& c : s.solve.savedCode) {
        FreeList(s.pool, c);
        c = nullptr;
    }
    ClearIfConditions(s);
}

int Combinations(int ifs) {
    long long combinations = 1;
    for (int i = 0; i < ifs && combinations < INT_MAX; ++i) combinations *= 2;
    return combinations > INT_MAX ? INT_MAX : static_cast<int>(combinations);
}

}  // namespace

bool SolveSystem(CoreState& s) {
    SolveState& v = s.solve;
    v.stepNumber = 1;
    if (s.flags.recompile) {
        ParseEquationsComplex(s);
        if (s.flags.parseError) return false;
    }
    // The solve begins here, whatever its outcome: the last results give way to its own.
    if (!BeginResults(s)) {
        s.flags.solved = false;
        return false;
    }
    const int n = s.model.count, m = s.names.variableCount;
    if (n != m || n < 1) {
        if (n >= 1) {
            ConsoleWriteLine(s.console);
            ConsoleWrite(s.console, n < m ? drive_message::kNotEnoughEquations
                                          : drive_message::kTooManyEquations);
            StopWithError(s);
        }
        s.flags.solved = false;
        return false;
    }

    int combinations = 1;
    if (s.k.autoIfSearch) {
        combinations = Combinations(CountIfs(s));
        if (combinations < 2) {
            s.flags.ifMode = IfMode::kNone;
        } else if (combinations > kMaxIfCombinations) {
            combinations = kMaxIfCombinations;
            s.flags.ifMode = IfMode::kRandom;
        } else {
            s.flags.ifMode = IfMode::kMasks;
        }
    } else {
        s.flags.ifMode = IfMode::kNone;
    }
    SaveEquations(s);
    bool solved = false;
    s.flags.solved = false;

    if (s.flags.ifMode != IfMode::kNone && s.settings.method != SolveMethod::kHomotopy) {
        for (int mask = 1; mask <= combinations && !solved && !s.flags.cancelled; ++mask) {
            ConsoleWrite(s.console, drive_message::kIfMask);
            ConsoleWriteInt(s.console, mask);
            SelectIfBranches(s, mask);
            v.lastCombination = (mask == combinations);
            v.searchingIfs = !v.lastCombination;
            s.flags.stop = false;
            solved = SolveOnce(s);
        }
        v.searchingIfs = false;
    }
    // With the homotopy chosen, the plain solve would only repeat what the transformed
    // equations solve next, with a second result table; it goes straight to the homotopy.
    if (s.flags.ifMode == IfMode::kNone && s.settings.method != SolveMethod::kHomotopy &&
        !s.flags.cancelled) {
        RestoreSavedCopies(s);
        v.lastCombination = true;
        s.flags.stop = false;
        solved = SolveOnce(s);
    }

    const SolveMethod method = s.settings.method;
    if (s.settings.autoHomotopy && !solved) s.settings.method = SolveMethod::kHomotopy;
    if (s.settings.method == SolveMethod::kHomotopy && !s.flags.cancelled) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, drive_message::kHomotopyTransformation);
        ClearIfConditions(s);
        RestoreSavedCopies(s);
        HomotopyTransform(s);
        v.lastCombination = true;
        s.flags.stop = false;
        solved = SolveOnce(s);
        RemoveHomotopyParameter(s);
    }
    s.settings.method = method;
    FreeSavedEquations(s);
    s.flags.solved = solved;
    return solved;
}
