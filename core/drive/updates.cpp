#include "core/drive/updates.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/base_messages.h"
#include "core/base/core_state.h"
#include "core/base/list_tokens.h"
#include "core/drive/stepping.h"
#include "core/drive/updated_text.h"
#include "core/eval/compile.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/solve/results.h"
#include "core/solve/solve_messages.h"

namespace {

// The variable of an appended fixing equation whose code is still that variable alone or the
// variable minus a constant; 0 when the code is anything else.
int FixedVariable(const CodeNode* code) {
    const CodeNode* n = SkipDeleted(code);
    if (n == nullptr || n->kind != kKindVar) return 0;
    const int v = n->var;
    n = SkipDeleted(n->next);
    if (n == nullptr) return v;
    if (!IsPlainConst(n)) return 0;
    n = SkipDeleted(n->next);
    if (n == nullptr || n->kind != kKindBinary || n->sub != code::kSub) return 0;
    return SkipDeleted(n->next) == nullptr ? v : 0;
}

// Holds the variable of the fixing equation of `column` at `value`.
void FixColumn(CoreState& s, int column, double value) {
    EquationModel& m = s.model;
    for (int e = 1; e <= m.count; ++e) {
        Equation& q = m.eq[e];
        if (q.updateColumn != column) continue;
        const int v = FixedVariable(q.code);
        if (v <= 0 || v > s.names.variableCount) return;
        FreeList(s.pool, q.code);
        q.code = Finalize(
            s.pool, WrapBinary(s.pool, code::kSub, ConstNode(s.pool, value), VarNode(s.pool, v)));
        s.names.value[v] = value;
        return;
    }
}

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
                     n < m ? solve_message::kNotEnoughEquations : solve_message::kTooManyEquations);
        StopWithError(s);
    }
    s.flags.solved = false;
    return false;
}

bool SolutionOfThisDocument(const CoreState& s) {
    return s.flags.solved && s.updates.solvedDocument == s.files.documentPath;
}

}  // namespace

void OpenUpdateFile(CoreState& s) {
    UpdateState& u = s.updates;
    TextFile& f = s.files.update;
    Close(f);
    u.mode = false;
    u.columns.clear();
    u.fixingCount = 0;
    u.line = 1;
    u.exhausted = false;
    f.status |= file_status::kNoReport;  // a missing file is reported right here
    Assign(f, s.settings.updateFileName);
    if (!s.settings.updateFileName.empty()) Reset(f);
    if (IsOpen(f)) {
        std::string header;
        ReadWholeLine(f, header);
        for (const std::string& token : ListTokens(header)) {
            u.columns.push_back(
                {ListColumnName(token, s.limits.nameChars), ListColumnMarked(token)});
        }
        u.mode = true;
    } else {
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, std::string(update_message::kFile) + s.settings.updateFileName +
                                    update_message::kDoesNotExist);
        s.settings.updateFileName.clear();
        WarningBeep(s);
    }
    s.flags.recompile = true;
    s.flags.jacobianNeeded = true;
}

void CloseUpdateFile(CoreState& s) {
    Close(s.files.update);
    s.updates.mode = false;
}

bool UpdateFileExhausted(const CoreState& s) {
    return s.updates.mode && s.updates.exhausted;
}

bool ApplyUpdateRecord(CoreState& s) {
    UpdateState& u = s.updates;
    if (!u.mode || u.exhausted) return false;
    std::string line;
    std::vector<std::string> values;
    for (;;) {
        if (!ReadWholeLine(s.files.update, line)) {
            u.exhausted = true;
            return false;
        }
        ++u.line;
        values = ListTokens(line);
        if (values.empty()) {  // an empty line ends the table
            u.exhausted = true;
            return false;
        }
        if (values.size() >= u.columns.size()) break;
        // Missing values would be read as zeros: a row that lacks some is not used at all.
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, update_message::kRow);
        ConsoleWriteInt(s.console, u.line);
        ConsoleWrite(s.console, update_message::kShortRow);
        ConsoleWriteLine(s.console);
    }
    for (std::size_t c = 0; c < u.columns.size(); ++c) {
        // "nan" and "inf" are no numbers of a table (ListValue reads them as any text that is
        // no number, as the list file does): a NaN would be held by its fixing equation.
        const double value = ListValue(values[c], s.k.largest);
        const UpdateColumn& column = u.columns[c];
        if (column.initialValue) {
            if (const int v = FindVariable(s.names, column.name); v != 0) s.names.value[v] = value;
        } else {
            FixColumn(s, static_cast<int>(c) + 1, value);
        }
    }
    return true;
}

void RememberSolution(CoreState& s) {
    UpdateState& u = s.updates;
    u.solvedDocument = s.files.documentPath;
    u.solution.clear();
    for (int v = 1; v <= s.names.variableCount; ++v) {
        if (!s.names.name[v].empty()) u.solution.emplace_back(s.names.name[v], s.names.value[v]);
    }
}

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
        default: break;
    }
}
