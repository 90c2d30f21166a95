#include "core/base/core_state.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/base/base_messages.h"
#include "core/base/bounds.h"

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

bool InputFileUsable(CoreState& s, const std::string& name) {
    std::string why;
    switch (CheckInputFile(name, kMaxDocumentBytes)) {
        case InputFileState::kOk: return true;
        case InputFileState::kMissing: why = base_message::kDoesNotExist; break;
        case InputFileState::kFolder: why = base_message::kIsAFolder; break;
        case InputFileState::kNotPlain: why = base_message::kNotAPlainFile; break;
        case InputFileState::kTooLarge:
            why =
                base_message::kTooLarge + std::to_string(kMaxDocumentBytes) + base_message::kBytes;
            break;
    }
    ConsoleWrite(s.console, base_message::kFile + name + why);
    ConsoleWriteLine(s.console);
    WarningBeep(s);
    return false;
}

bool CancelRequested(CoreState& s) {
    if (!s.flags.cancelled && s.shell->PollKey() == kKeyEscape) s.flags.cancelled = true;
    if (s.flags.cancelled) s.flags.stop = true;
    return s.flags.cancelled;
}
