#include "core/run/rewrite_commands.h"

#include <cstring>
#include <optional>

#include "core/base/core_state.h"
#include "core/drive/solve_system.h"
#include "core/drive/stepping.h"
#include "core/run/advanced_operations.h"
#include "core/run/run_messages.h"
#include "core/run/run_setup.h"
#include "core/solve/results.h"

namespace {

// The names of results by name belong to one run, however it ends.
class StepResultNames {
   public:
    explicit StepResultNames(CoreState& s) : s_(s) { StoreStepResultNames(s_); }
    StepResultNames(const StepResultNames&) = delete;
    StepResultNames& operator=(const StepResultNames&) = delete;
    ~StepResultNames() { ClearStepResultNames(s_); }

   private:
    CoreState& s_;
};

void SolveWritten(CoreState& s, bool stepping) {
    ReopenWork(s, ".SJC");
    if (!stepping) {
        SolveSystem(s);
        return;
    }
    s.solve.numberOfSteps = s.settings.stepCount;
    RunSteps(s, StepMode::kTimeSteps);
}

}  // namespace

bool CommandDifferential(CoreState& s, const char* command) {
    CompileDocument(s);
    if (s.flags.parseError) return false;
    const bool stepping = std::strlen(command) >= 3 && command[2] == 'I';
    std::optional<StepResultNames> names;
    if (stepping) names.emplace(s);
    // Only what this run wrote is solved: an older base.SJC would be another problem's.
    if (!AdvancedOperations(s, command + 1) || s.flags.parseError) return false;
    SolveWritten(s, stepping);
    return SolvedThisRun(s);
}

bool CommandEliminate(CoreState& s, const char*) {
    CompileDocument(s);
    if (s.flags.parseError) return false;
    const bool done = AdvancedOperations(s, "FE");
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, rewrite_command_message::kEliminationDone);
    return done;
}
