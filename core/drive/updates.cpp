#include "core/drive/updates.h"

#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/base/list_tokens.h"
#include "core/drive/drive_messages.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"

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
