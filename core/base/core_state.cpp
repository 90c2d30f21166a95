#include "core/base/core_state.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/base/base_messages.h"

CoreState::CoreState(const Limits& l)
    : limits(l), names(l), model(l), eval(l), solve(l), files(&io), shell(&defaultShell) {}

void WarningBeep(CoreState& s) {
    s.shell->WarningBeep();
}

void ErrorTail(CoreState& s) {
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, base_message::kErrorTail);
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

bool RewriteWorkFile(CoreState& s, TextFile& file) {
    file.scratch = true;
    Rewrite(file);
    if (IsOpen(file)) return true;
    std::error_code ec;
    const bool folder = std::filesystem::is_directory(file.name, ec);
    ConsoleWrite(s.console, base_message::kCannotWrite + file.name + ": ");
    ConsoleWrite(s.console, folder ? base_message::kFolderInTheWay : std::strerror(file.error));
    ConsoleWriteLine(s.console);
    WarningBeep(s);
    return false;
}
