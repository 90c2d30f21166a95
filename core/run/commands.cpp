#include "core/run/commands.h"

#include "core/run/core_state.h"
#include "core/run/run_setup.h"

namespace {

// 'F': refresh the work file from the document and empty the result file.
void CommandRefresh(CoreState& s, const char*) { PrepareAndReset(s); }

// 'R' names an output selection that exists only with a screen display of the core's own,
// which is never shown.
void CommandNothing(CoreState&, const char*) {}

struct Entry {
    char letter;
    CommandHandler handler;
};

constexpr Entry kCommands[] = {
    {'F', CommandRefresh},
    {'R', CommandNothing},
};

}  // namespace

CommandHandler CommandFor(char letter) {
    for (const Entry& e : kCommands) {
        if (e.letter == letter) return e.handler;
    }
    return nullptr;
}
