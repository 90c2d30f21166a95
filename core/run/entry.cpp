#include "core/run/entry.h"

#include <cctype>
#include <cstdio>
#include <exception>
#include <string_view>

#include "core/base/core_state.h"
#include "core/run/commands.h"
#include "core/run/run_messages.h"
#include "core/run/run_settings.h"
#include "core/run/run_setup.h"

namespace {

void CleanUp(CoreState& s) {
    FreeEquations(s);
    Close(s.files.work);
    Close(s.files.source);
    Close(s.files.jacobian);
    Close(s.files.result);
    Close(s.files.update);
    // The last rows reach the result file only when it is closed: a full disk shows here.
    WorkFileWritten(s, s.files.result);
    if (s.flags.writeFailed && s.flags.solved) {
        ConsoleWrite(s.console, run_message::kOutputIncomplete);
        ConsoleWriteLine(s.console);
    }
    if (s.flags.cancelled) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, run_message::kRunCancelled);
        ConsoleWriteLine(s.console);
    }
    ConsoleWriteLine(s.console);
}

// Reset, set-up of the file names, the operation, clean-up: the frame of every run. The
// operation returns whether it did its work.
template <typename Operation>
int RunFrame(CoreState& s, const char* fileName, Operation operation) {
    const std::string path = fileName ? fileName : "";
    try {
        ResetDefaults(s);
        ConsoleWrite(s.console, path);
        ConsoleWriteLine(s.console);

        s.files.documentPath = path;
        s.files.baseName = BaseNameOf(path);
        if (IsWorkFileName(path)) {
            // Checked before any file is opened: the run would write over its own document.
            ConsoleWrite(s.console, run_message::kNameOfWorkFile);
            ConsoleWriteLine(s.console);
            WarningBeep(s);
            s.flags.solved = false;
            return 0;
        }
        if (s.files.baseName.empty()) {
            // Work files are named after the document; without an extension there is no
            // name to give them that would not overwrite the document itself.
            ConsoleWrite(s.console, run_message::kNoExtension);
            ConsoleWriteLine(s.console);
            WarningBeep(s);
            s.flags.solved = false;
            return 0;
        }
        s.flags.ifMode = s.k.autoIfSearch ? IfMode::kMasks : IfMode::kNone;
        const bool done = operation();
        CleanUp(s);
        s.flags.commandDone = done;
    } catch (const std::exception& e) {
        // Nothing may escape the entry: report, tidy up and return "not solved".
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, run_message::kInternalError + std::string(e.what()));
        s.flags.parseError = true;
        CleanUp(s);
    }
    // A run whose results did not all reach their file, or that was cancelled, solved nothing
    // the user can rely on.
    if (s.flags.parseError || s.flags.writeFailed || s.flags.cancelled) {
        s.flags.solved = false;
        s.flags.commandDone = false;
        return 0;
    }
    return s.flags.solved ? 1 : 0;
}

}  // namespace

int SolverEntry(CoreState& s, const char* fileName, const char* command) {
    const char letter = (command != nullptr) ? command[0] : '\0';
    return RunFrame(s, fileName, [&] {
        if (CommandHandler handler = CommandFor(letter)) return handler(s, command);
        // A command that does nothing without a word would look like a run that failed.
        const auto byte = static_cast<unsigned char>(letter);
        const std::string shown =
            (byte > ' ' && byte < 0x7f) ? std::string(1, letter) : "#" + std::to_string(byte);
        ConsoleWrite(s.console, run_message::kUnknownCommand + shown);
        ConsoleWriteLine(s.console);
        WarningBeep(s);
        return false;
    });
}

bool IsWorkFileName(const std::string& path) {
    const std::string base = BaseNameOf(path);
    if (base.empty()) return false;
    const std::string extension = path.substr(base.size());
    for (const char* work : extension::kWorkFiles) {
        const std::string_view w(work);
        if (extension.size() != w.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < w.size() && same; ++i) {
            same = std::toupper(static_cast<unsigned char>(extension[i])) == w[i];
        }
        if (same) return true;
    }
    return false;
}

bool CommandDone(const CoreState& s) {
    return s.flags.commandDone;
}

bool IsKnownCommand(char letter) {
    return CommandFor(letter) != nullptr;
}

int CheckDocument(CoreState& s, const char* fileName) {
    const bool solved = s.flags.solved;  // a check is not a solve: keep the last result
    const int accepted = RunFrame(s, fileName, [&] {
        CompileDocument(s);
        s.flags.solved = !s.flags.parseError;
        return s.flags.solved;
    });
    s.flags.solved = solved;
    return accepted;
}

void GetResultStrings(const CoreState& s, std::vector<std::string>& list) {
    list.assign(s.names.variableCount, std::string());
    for (int i = 1; i <= s.names.variableCount; ++i) {
        char value[400];
        std::snprintf(value, sizeof value, "%.15lf", s.names.value[i]);
        list[i - 1] = s.names.name[i] + "=" + value;
    }
}

CoreState& GlobalCore() {
    static CoreState core;
    return core;
}

int SolverEntry(const char* fileName, const char* command) {
    return SolverEntry(GlobalCore(), fileName, command);
}

int CheckDocument(const char* fileName) {
    return CheckDocument(GlobalCore(), fileName);
}

bool CommandDone() {
    return CommandDone(GlobalCore());
}

void SetOutputCallback(void (*callback)(const char*)) {
    if (callback == nullptr)
        GlobalCore().console.callback = nullptr;
    else
        GlobalCore().console.callback = callback;
}

void SetOutputFunction(OutputCallback callback) {
    GlobalCore().console.callback = std::move(callback);
}

void SetShellServices(ShellServices* services) {
    CoreState& s = GlobalCore();
    s.shell = services ? services : &s.defaultShell;
}

void ApplyShellSettings(const ShellSettingsRecord& record) {
    ApplyShellSettings(GlobalCore().settings, record);
}

void GetResultStrings(std::vector<std::string>& list) {
    GetResultStrings(GlobalCore(), list);
}
