#include "core/base/core_state.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/base/base_messages.h"

CoreState::CoreState(const Limits& l)
    : limits(l), names(l), model(l), eval(l), solve(l), files(&io), shell(&defaultShell) {
    settings.capacity = l.capacity;
}

void ApplyCapacity(CoreState& s) {
    const Limits wanted = Limits::ForCapacity(s.settings.capacity);
    if (wanted.capacity == s.limits.capacity) return;
    for (Equation& e : s.model.eq) {
        for (CodeNode* n = e.code; n != nullptr;) {
            CodeNode* next = n->next;
            s.pool.release(n);
            n = next;
        }
        e.code = nullptr;
    }
    s.model.count = 0;
    s.limits = wanted;
    s.names.resize(wanted);
    s.model.resize(wanted);
    s.eval.resize(wanted);
    s.solve.resize(wanted);
}

void WriteCapacityHint(CoreState& s, LimitKind kind, long needed) {
    using namespace base_message;
    const bool equations = kind == LimitKind::kEquations;
    std::string line = kLimitOpen;
    line += std::to_string(equations ? s.limits.maxEquations : s.limits.maxVariables);
    line += equations ? kLimitEquations : kLimitVariables;
    if (needed > Limits::kMaxCapacity) {
        line += kBeyondCapacity + std::to_string(Limits::kMaxCapacity);
    } else {
        line += kRaiseCapacity;
        if (needed > 0) line += kRaiseCapacityTo + std::to_string(needed);
    }
    line += kLimitClose;
    ConsoleWrite(s.console, line);
}

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
