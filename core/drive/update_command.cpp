#include "core/drive/update_command.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "core/base/base_messages.h"
#include "core/base/core_state.h"
#include "core/drive/drive_messages.h"
#include "core/drive/stepping.h"
#include "core/drive/updated_text.h"
#include "core/eval/compile.h"
#include "core/solve/results.h"

namespace {

bool ReadDocument(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return !in.bad();
}

// base.UPD may become the document: it is written whole beside it and then put in place, so
// a failed write never leaves half a file under that name.
bool WriteWhole(const std::string& path, const std::string& text, std::string& why) {
    const std::string temp = path + extension::kTemporarySuffix;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            why = std::strerror(errno);
            return false;
        }
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            why = std::strerror(errno);
            out.close();
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        why = std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

// The stepping driver solves whatever set it is given; an update run checks first, as a solve
// does, that as many equations as variables hold (the fixing equations count).
bool SquareSet(CoreState& s) {
    const int n = s.model.count, m = s.names.variableCount;
    if (n == m && n >= 1) return true;
    if (n >= 1) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console,
                     n < m ? drive_message::kNotEnoughEquations : drive_message::kTooManyEquations);
        StopWithError(s);
    }
    s.flags.solved = false;
    return false;
}

bool SolutionOfThisDocument(const CoreState& s) {
    return s.flags.solved && s.updates.solvedDocument == s.files.documentPath;
}

}  // namespace

void WriteUpdatedText(CoreState& s, unsigned char mark) {
    const std::string target = s.files.baseName + extension::kUpdated;
    std::string text;
    // Without base.UPD the command has done nothing it was asked to: like a run whose results
    // did not reach their file, it ends unsolved (and says nothing of incomplete results).
    const auto failed = [&s] {
        s.flags.writeFailed = true;
        s.flags.solved = false;
    };
    if (!ReadDocument(s.files.documentPath, text)) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, std::string(update_message::kFile) + s.files.documentPath +
                                    update_message::kDoesNotExist);
        WarningBeep(s);
        failed();
        return;
    }
    const int nameChars = s.limits.nameChars;
    const auto& solution = s.updates.solution;
    const ValueOfName valueOf = [&](const std::string& name) -> std::optional<double> {
        const std::string cut = name.substr(0, static_cast<std::size_t>(std::max(nameChars, 0)));
        for (const auto& [n, v] : solution) {
            if (n == cut) return v;
        }
        return std::nullopt;
    };
    std::string why;
    if (!WriteWhole(target, UpdatedText(text, mark, valueOf, s.k.outputPrecision), why)) {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, base_message::kCannotWrite + target + ": " + why);
        ConsoleWriteLine(s.console);
        WarningBeep(s);
        failed();
    }
}

void RunUpdate(CoreState& s, char action) {
    switch (action) {
        case 'S': {
            // With a table the document's own step comes first and every row gets one step
            // after it, so the last row is not left out.
            const int steps = s.settings.updateStepCount + (s.updates.mode ? 1 : 0);
            ConsoleWrite(s.console, update_message::kNumberOfSteps);
            ConsoleWriteInt(s.console, steps);
            ConsoleWriteLine(s.console);
            s.solve.numberOfSteps = steps;
            ParseEquationsComplex(s);
            if (s.flags.parseError || !BeginResults(s) || !SquareSet(s)) break;
            s.flags.recompile = false;  // the stepping solves the set just compiled
            RunSteps(s, StepMode::kTimeSteps);
            break;
        }
        case 'I':
        case 'R':
            ConsoleWriteLine(s.console);
            if (!SolutionOfThisDocument(s)) {
                ConsoleWrite(s.console, update_message::kSolveFirst);
                WarningBeep(s);
                break;
            }
            ConsoleWrite(s.console, update_message::kUpdating);
            WriteUpdatedText(s, action == 'I' ? kAssignMark : kTieMark);
            s.flags.recompile = true;
            break;
        default: break;  // the command's second character as typed: any byte may come
    }
}
