#include "core/symbolic/list_file.h"

#include <optional>
#include <string>
#include <vector>

#include "core/base/bounds.h"
#include "core/base/core_state.h"
#include "core/base/name_table.h"
#include "core/base/special_values.h"
#include "core/lang/code_string.h"

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSeparator(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsSeparator(line[i])) ++i;
        if (i > start) tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

}  // namespace

bool ReadListFile(CoreState& s, std::vector<ListRow>& rows, bool quiet) {
    const std::string& name = s.settings.updateFileName;
    if (!quiet) {
        ConsoleWrite(s.console, list_message::kAttached);
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, name);
    }
    // A folder, a device or an oversized file is refused before it is read; so is a file that
    // grows past the bound while it is read.
    const InputFileState state =
        name.empty() ? InputFileState::kMissing : CheckInputFile(name, kMaxDocumentBytes);
    if (state != InputFileState::kOk && state != InputFileState::kMissing) {
        if (!quiet) {
            ConsoleWriteLine(s.console);
            InputFileUsable(s, name);
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
    std::uintmax_t left = kMaxDocumentBytes;
    auto nextLine = [&] {
        if (!ReadWholeLine(file, line, left + 1) || line.size() > left) return false;
        left -= line.size();
        left -= left > 0 ? 1 : 0;
        return true;
    };
    nextLine();
    std::vector<int> columns;  // variable of each column, 0 for a name that is none
    for (const std::string& token : Tokens(line)) {
        columns.push_back(FindVariable(s.names, ListColumnName(token, s.limits.nameChars)));
    }
    int lineNumber = 1;
    while (nextLine()) {
        ++lineNumber;
        const std::vector<std::string> values = Tokens(line);
        if (values.empty()) continue;
        if (values.size() < columns.size()) {
            if (quiet) continue;
            ConsoleWriteLine(s.console);
            ConsoleWrite(s.console,
                         list_message::kRow + std::to_string(lineNumber) + list_message::kShortRow);
            continue;
        }
        ListRow row;
        row.line = lineNumber;
        bool numbers = true;
        for (std::size_t c = 0; c < columns.size() && numbers; ++c) {
            const int v = columns[c];
            if (v == 0) continue;
            bool seen = false;
            for (const auto& [variable, value] : row.values) seen = seen || variable == v;
            if (seen) continue;
            const std::optional<double> value = ListValue(values[c], s.k.largest);
            numbers = value.has_value();
            if (numbers) row.values.emplace_back(v, *value);
        }
        if (!numbers) {
            // A NaN in the sum of squares would be taken for a fit; the row is not used.
            if (quiet) continue;
            ConsoleWriteLine(s.console);
            ConsoleWrite(s.console,
                         list_message::kRow + std::to_string(lineNumber) + list_message::kNoNumber);
            continue;
        }
        rows.push_back(std::move(row));
    }
    Close(file);
    return true;
}

CodeNode* SubstituteRow(CoreState& s, const CodeNode* code, const ListRow& row) {
    CodeNode* copy = Strip(s.pool, ToPrefix(CopyList(s.pool, code)));
    for (CodeNode* n = copy; n != nullptr; n = n->next) {
        if (n->kind != kKindVar) continue;
        for (const auto& [variable, value] : row.values) {
            if (n->var != variable) continue;
            // The operand form stays: an imaginary reference becomes an imaginary constant.
            n->kind = kKindConst;
            n->var = 0;
            n->value = value;
            n->mark = 0;
            break;
        }
    }
    return copy;
}
