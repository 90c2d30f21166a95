#include "core/base/core_state.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/base/base_messages.h"
#include "core/base/bounds.h"

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
    WarningBeep(s);
    ErrorTail(s);
}

void RaiseError(CoreState& s, bool& flag, const char* message) {
    if (!flag && !s.keepMessage) s.message = message;
    flag = true;
}

namespace {

void ReportCannotWrite(CoreState& s, const TextFile& file, const char* why) {
    ConsoleWrite(s.console, base_message::kCannotWrite + file.name + ": ");
    ConsoleWrite(s.console, why);
    ConsoleWriteLine(s.console);
    WarningBeep(s);
}

}  // namespace

bool RewriteWorkFile(CoreState& s, TextFile& file) {
    file.scratch = true;
    Rewrite(file);
    if (IsOpen(file)) return true;
    std::error_code ec;
    const bool folder = std::filesystem::is_directory(file.name, ec);
    ReportCannotWrite(s, file, folder ? base_message::kFolderInTheWay : std::strerror(file.error));
    s.flags.writeFailed = true;
    return false;
}

bool WorkFileWritten(CoreState& s, TextFile& file) {
    if (file.writeError == 0) return true;
    // Reported once per file: the error stays recorded until the file is opened again.
    if (!file.writeErrorReported) {
        ConsoleWriteLine(s.console);
        ReportCannotWrite(s, file, std::strerror(file.writeError));
    }
    file.writeErrorReported = true;
    s.flags.writeFailed = true;
    return false;
}

void ReportUnusableInput(CoreState& s, const std::string& name, InputFileState state,
                         std::uintmax_t limit) {
    std::string why;
    switch (state) {
        case InputFileState::kOk: return;
        case InputFileState::kMissing: why = base_message::kDoesNotExist; break;
        case InputFileState::kFolder: why = base_message::kIsAFolder; break;
        case InputFileState::kNotPlain: why = base_message::kNotAPlainFile; break;
        case InputFileState::kTooLarge:
            why = base_message::kTooLarge + std::to_string(limit) + base_message::kBytes;
            break;
    }
    ConsoleWrite(s.console, base_message::kFile + name + why);
    ConsoleWriteLine(s.console);
    WarningBeep(s);
}

bool InputFileUsable(CoreState& s, const std::string& name, std::uintmax_t limit) {
    const InputFileState state = CheckInputFile(name, limit);
    ReportUnusableInput(s, name, state, limit);
    return state == InputFileState::kOk;
}

bool InputFileUsableOrMissing(CoreState& s, const std::string& name, std::uintmax_t limit) {
    const InputFileState state = CheckInputFile(name, limit);
    if (state == InputFileState::kMissing) return true;
    ReportUnusableInput(s, name, state, limit);
    return state == InputFileState::kOk;
}

bool CancelRequested(CoreState& s) {
    if (!s.flags.cancelled && s.shell->PollKey() == kKeyEscape) s.flags.cancelled = true;
    if (s.flags.cancelled) s.flags.stop = true;
    return s.flags.cancelled;
}
