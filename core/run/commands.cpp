#include "core/run/commands.h"

#include "core/run/core_state.h"
#include "core/run/run_setup.h"
#include "core/solve/solve_system.h"

namespace {

// 'F': refresh the work file from the document and empty the result file.
void CommandRefresh(CoreState& s, const char*) { PrepareAndReset(s); }

// 'S': solve the document.
void CommandSolve(CoreState& s, const char*) {
    PrepareAndReset(s);
    if (s.flags.parseError) return;
    s.flags.recompile = true;
    SolveSystem(s);
}

// 'G': tabulate the solutions over a range of one or two variables.
void CommandSweep(CoreState& s, const char*) {
    CompileDocument(s);
    if (s.flags.parseError) return;
    ParameterSweep(s);
}

// 'R' names an output selection that exists only with a screen display of the core's own,
// which is never shown.
void CommandNothing(CoreState&, const char*) {}

struct Entry {
    char letter;
    CommandHandler handler;
};

constexpr Entry kCommands[] = {
    {'F', CommandRefresh},
    {'G', CommandSweep},
    {'R', CommandNothing},
    {'S', CommandSolve},
};

}  // namespace

CommandHandler CommandFor(char letter) {
    for (const Entry& e : kCommands) {
        if (e.letter == letter) return e.handler;
    }
    return nullptr;
}
