#include "core/run/commands.h"

#include <string>

#include "core/base/core_state.h"
#include "core/run/run_messages.h"
#include "core/run/rewrite_commands.h"
#include "core/run/run_setup.h"
#include "core/run/symbolic_commands.h"
#include "core/solve/solve_system.h"

namespace {

// 'F': refresh the work file from the document and empty the result file.
void CommandRefresh(CoreState& s, const char*) {
    PrepareAndReset(s);
}

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

// Repetitive updates and the FFT have their letters reserved; until their operations exist
// they only say so.
void CommandNotAvailable(CoreState& s, const char* command) {
    ConsoleWrite(s.console,
                 run_message::kCommand + std::string(1, command[0]) + run_message::kNotAvailable);
    ConsoleWriteLine(s.console);
}

struct Entry {
    char letter;
    CommandHandler handler;
};

constexpr Entry kCommands[] = {
    {'A', CommandAdvanced},     {'D', CommandDifferential}, {'E', CommandEliminate},
    {'F', CommandRefresh},      {'G', CommandSweep},        {'K', CommandConstrained},
    {'O', CommandOptimize},     {'R', CommandNothing},      {'S', CommandSolve},
    {'U', CommandNotAvailable}, {'W', CommandNotAvailable},
};

}  // namespace

CommandHandler CommandFor(char letter) {
    for (const Entry& e : kCommands) {
        if (e.letter == letter) return e.handler;
    }
    return nullptr;
}
