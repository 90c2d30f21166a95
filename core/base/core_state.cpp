#include "core/base/core_state.h"

CoreState::CoreState(const Limits& l)
    : limits(l),
      names(l),
      model(l),
      eval(l),
      solve(l),
      files(&io),
      shell(&defaultShell) {}

void WarningBeep(CoreState& s) { s.shell->WarningBeep(); }

void ErrorTail(CoreState& s) {
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, "Error ...");
}

void StopWithError(CoreState& s) {
    s.flags.stop = true;
    WarningBeep(s);
    ErrorTail(s);
}

void ReportRunError(CoreState& s) {
    s.flags.runError = true;
    WarningBeep(s);
    ErrorTail(s);
}

void RaiseError(CoreState& s, bool& flag, const char* message) {
    if (!flag && !s.keepMessage) s.message = message;
    flag = true;
}
