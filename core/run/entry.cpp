#include "core/run/entry.h"

#include <cstdio>

#include "core/base/core_state.h"
#include "core/run/commands.h"
#include "core/run/run_frame.h"
#include "core/run/run_messages.h"
#include "core/run/run_settings.h"
#include "core/run/run_setup.h"

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

bool CommandDone(const CoreState& s) {
    return s.flags.commandDone;
}

std::optional<int> CompilerErrorPosition(const CoreState& s) {
    // A rejected text stops the run, so the compiler's state after it is that of the failed pass.
    if (!s.parser.error) return std::nullopt;
    return s.parser.errorPosition;
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

std::optional<int> CompilerErrorPosition() {
    return CompilerErrorPosition(GlobalCore());
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
