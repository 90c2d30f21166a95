#include "core/run/entry.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iterator>
#include <string_view>

#include "core/base/core_state.h"
#include "core/run/commands.h"
#include "core/run/run_messages.h"
#include "core/run/run_settings.h"
#include "core/run/run_setup.h"

namespace {

// The extensions of every file a run of a document writes: the work files and the temporary
// names of the files written whole.
const std::vector<std::string>& RunFileExtensions() {
    static const std::vector<std::string> extensions = [] {
        std::vector<std::string> all(std::begin(extension::kWorkFiles),
                                     std::end(extension::kWorkFiles));
        for (const char* whole : extension::kWrittenWhole) {
            all.push_back(std::string(whole) + extension::kTemporarySuffix);
        }
        return all;
    }();
    return extensions;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The file-name part of a path.
std::string_view LeafOf(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

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
        // The list operations read the name even where no update file is marked present.
        if (IsRunFileOf(path, s.settings.updateFileName)) {
            // The run would empty, rewrite or rename over the table before or while reading it.
            ConsoleWrite(s.console, run_message::kAttachmentIsRunFile + s.settings.updateFileName +
                                        run_message::kAttachmentIsRunFileEnd);
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
    const std::string_view extension = std::string_view(path).substr(base.size());
    for (const std::string& ext : RunFileExtensions()) {
        if (EqualIgnoringCase(extension, ext)) return true;
    }
    return false;
}

bool IsRunFileOf(const std::string& document, const std::string& path) {
    const std::string base = BaseNameOf(document);
    if (base.empty() || path.empty()) return false;
    // What does not exist cannot be destroyed. A link is judged by the file it names.
    struct stat entry;
    if (::lstat(path.c_str(), &entry) != 0) return false;
    std::string target = path;
    if (S_ISLNK(entry.st_mode)) {
        std::error_code ec;
        target = std::filesystem::canonical(path, ec).string();
        if (ec) return false;
    }
    // By name first, which costs no further system call (a run with an attachment does this
    // every time); a name that matches is then the same file only when the system says so,
    // whatever the spelling of its folder. (A hard link under another name is not looked for.)
    const std::string_view leaf = LeafOf(target);
    const std::string_view baseLeaf = LeafOf(base);
    if (leaf.size() <= baseLeaf.size() ||
        !EqualIgnoringCase(leaf.substr(0, baseLeaf.size()), baseLeaf)) {
        return false;
    }
    for (const std::string& ext : RunFileExtensions()) {
        if (!EqualIgnoringCase(leaf.substr(baseLeaf.size()), ext)) continue;
        struct stat file, own;
        return ::stat(target.c_str(), &file) == 0 && ::stat((base + ext).c_str(), &own) == 0 &&
               own.st_dev == file.st_dev && own.st_ino == file.st_ino;
    }
    return false;
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
