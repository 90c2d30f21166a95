#include "core/run/run_frame.h"

#include <exception>
#include <string>

#include "core/base/core_state.h"
#include "core/run/run_messages.h"
#include "core/run/run_setup.h"
#include "core/run/work_files.h"

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

}  // namespace

int RunFrame(CoreState& s, const char* fileName, const std::function<bool()>& operation) {
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
