#include "core/symbolic/list_file.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/bounds.h"
#include "core/base/core_state.h"
#include "core/base/name_table.h"
#include "core/base/special_values.h"
#include "core/lang/code_string.h"
#include "core/symbolic/symbolic_messages.h"

bool ReadListFile(CoreState& s, ListTable& table, bool quiet) {
    const std::string& name = s.settings.updateFileName;
    if (!quiet) {
        ConsoleWrite(s.console, list_message::kAttached);
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, name);
    }
    // A folder, a device or an oversized file is refused before it is read; so is a file that
    // grows past the bound while it is read.
    const InputFileState state =
        name.empty() ? InputFileState::kMissing : CheckInputFile(name, kMaxListFileBytes);
    if (state != InputFileState::kOk && state != InputFileState::kMissing) {
        if (!quiet) {
            ConsoleWriteLine(s.console);
            InputFileUsable(s, name, kMaxListFileBytes);
        }
        return false;
    }
    TextFile file(&s.io);
    file.status |= file_status::kNoReport;  // the missing file is reported right here
    Assign(file, name);
    if (!name.empty()) Reset(file);
    if (!IsOpen(file)) {
        if (quiet) return false;
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console,
                     std::string(list_message::kFile) + name + list_message::kDoesNotExist);
        WarningBeep(s);
        return false;
    }
    std::string line;
    std::uintmax_t left = kMaxListFileBytes;
    auto nextLine = [&] {
        if (!ReadWholeLine(file, line, left + 1) || line.size() > left) return false;
        left -= line.size();
        left -= left > 0 ? 1 : 0;
        return true;
    };
    table = ListTable{};
    nextLine();
    // Where each column's value goes in a row of the table; -1 for a name that is no variable
    // and for a later column of a name already taken.
    std::vector<int> slot;
    for (std::string_view rest = line, token = NextListToken(rest); !token.empty();
         token = NextListToken(rest)) {
        const int v = FindVariable(s.names, ListColumnName(std::string(token), s.limits.nameChars));
        const bool taken =
            std::find(table.variables.begin(), table.variables.end(), v) != table.variables.end();
        slot.push_back(v != 0 && !taken ? table.columns() : -1);
        if (slot.back() >= 0) table.variables.push_back(v);
    }
    std::vector<double> values(table.variables.size());
    int lineNumber = 1;
    while (nextLine()) {
        ++lineNumber;
        std::size_t cells = 0;
        for (std::string_view rest = line, token = NextListToken(rest); !token.empty();
             token = NextListToken(rest), ++cells) {
            if (cells < slot.size() && slot[cells] >= 0) {
                values[slot[cells]] = ListValue(token, s.k.largest);
            }
        }
        if (cells == 0) continue;
        if (cells < slot.size()) {
            if (quiet) continue;
            ConsoleWriteLine(s.console);
            ConsoleWrite(s.console,
                         list_message::kRow + std::to_string(lineNumber) + list_message::kShortRow);
            continue;
        }
        table.values.insert(table.values.end(), values.begin(), values.end());
        table.lines.push_back(lineNumber);
    }
    Close(file);
    return true;
}

CodeNode* SubstituteRow(CoreState& s, const CodeNode* code, const ListTable& table, int row) {
    CodeNode* copy = Strip(s.pool, ToPrefix(CopyList(s.pool, code)));
    const double* values = table.row(row);
    for (CodeNode* n = copy; n != nullptr; n = n->next) {
        if (n->kind != kKindVar) continue;
        for (int c = 0; c < table.columns(); ++c) {
            if (n->var != table.variables[c]) continue;
            // The operand form stays: an imaginary reference becomes an imaginary constant.
            n->kind = kKindConst;
            n->var = 0;
            n->value = values[c];
            n->mark = 0;
            break;
        }
    }
    return copy;
}
