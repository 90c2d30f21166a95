#include "core/run/commands.h"

#include <string>

#include "core/base/core_state.h"
#include "core/drive/fourier_of_results.h"
#include "core/drive/solve_system.h"
#include "core/drive/sweep.h"
#include "core/drive/update_command.h"
#include "core/drive/updates.h"
#include "core/run/rewrite_commands.h"
#include "core/run/run_messages.h"
#include "core/run/run_setup.h"
#include "core/run/symbolic_commands.h"
#include "core/solve/results.h"

namespace {

// 'F': refresh the work file from the document and empty the result file.
bool CommandRefresh(CoreState& s, const char*) {
    PrepareRun(s);
    if (s.flags.parseError) return false;
    return BeginResults(s);
}

// 'S': solve the document.
bool CommandSolve(CoreState& s, const char*) {
    PrepareRun(s);
    if (s.flags.parseError) return false;
    s.flags.recompile = true;
    return SolveSystem(s);
}

// 'G': tabulate the solutions over a range of one or two variables.
bool CommandSweep(CoreState& s, const char*) {
    CompileDocument(s);
    if (s.flags.parseError) return false;
    ParameterSweep(s);
    return SolvedThisRun(s);
}

// 'R' names an output selection that exists only with a screen display of the core's own,
// which is never shown: it has no work to do.
bool CommandNothing(CoreState&, const char*) {
    return false;
}

// 'U': repetitive updates; the second character is the action. Judged by the solved flag as
// the update actions use it: the write-back actions rely on the solve of an earlier run.
bool CommandUpdate(CoreState& s, const char* command) {
    PrepareRun(s);
    if (s.flags.parseError) return false;
    const bool named = s.settings.updateFilePresent;
    if (named) {
        OpenUpdateFile(s);
    } else {
        s.settings.updateStepCount = s.settings.stepCount;
    }
    RunUpdate(s, command[1]);
    if (named) CloseUpdateFile(s);
    return s.flags.solved;
}

// 'W': the spectrum of a result series, base.FFT or, unless the second character is '0', a
// file the user picks.
bool CommandFft(CoreState& s, const char* command) {
    std::string series = s.files.baseName + extension::kFft;
    if (command[1] != '0' && !s.shell->FftFileDialog(series)) return false;
    return FourierOfResults(s, series);
}

struct Entry {
    char letter;
    CommandHandler handler;
};

constexpr Entry kCommands[] = {
    {'A', CommandAdvanced}, {'D', CommandDifferential}, {'E', CommandEliminate},
    {'F', CommandRefresh},  {'G', CommandSweep},        {'K', CommandConstrained},
    {'O', CommandOptimize}, {'R', CommandNothing},      {'S', CommandSolve},
    {'U', CommandUpdate},   {'W', CommandFft},
};

}  // namespace

CommandHandler CommandFor(char letter) {
    for (const Entry& e : kCommands) {
        if (e.letter == letter) return e.handler;
    }
    return nullptr;
}
