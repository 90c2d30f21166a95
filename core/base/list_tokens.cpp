#include "core/base/list_tokens.h"

#include <charconv>
#include <cmath>

#include "core/base/bounds.h"
#include "core/base/special_values.h"
#include "core/base/text_file.h"

namespace {

bool IsCellSeparator(char c) {
    return c == ' ' || c == '\t' || c == ';' || c == '\r' || c == '\n';
}

}  // namespace

std::vector<std::string> ListTokens(std::string_view line) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsCellSeparator(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsCellSeparator(line[i])) ++i;
        if (i > start) tokens.emplace_back(line.substr(start, i - start));
    }
    return tokens;
}

bool ParseNumberCell(std::string_view cell, double& value) {
    if (!cell.empty() && cell[0] == '+') cell.remove_prefix(1);
    if (cell.empty()) return false;
    double v = 0.0;
    const auto result = std::from_chars(cell.data(), cell.data() + cell.size(), v);
    if (result.ec != std::errc() || result.ptr != cell.data() + cell.size()) return false;
    // from_chars also reads "inf" and "nan", which no table of values means.
    if (!std::isfinite(v)) return false;
    value = v;
    return true;
}

std::optional<double> ListValue(std::string token, double big) {
    if (!token.empty() && token.back() == '\xB0') token.pop_back();
    if (token == "\xDF") return big;
    if (token == "-\xDF") return -big;
    if (token == "?") return kUndefinedValue;
    std::string_view digits = token;
    if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc::invalid_argument || result.ptr != digits.data() + digits.size())
        return 0.0;  // not a number as a whole
    // A NaN passes every comparison as false, so a residual made from it would count as
    // converged; an infinity or a number out of range (from_chars leaves the value alone then)
    // is no value a step can be solved at either.
    if (result.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

int CountListRows(const std::string& path) {
    if (CheckInputFile(path, kMaxDocumentBytes) != InputFileState::kOk) return 0;
    TextFile file;
    file.status |= file_status::kNoReport;
    Assign(file, path);
    Reset(file);
    if (!IsOpen(file)) return 0;
    std::string line;
    int rows = 0;
    std::uintmax_t left = kMaxDocumentBytes;  // however the file grows while it is read
    auto next = [&] {
        if (!ReadWholeLine(file, line, left + 1) || line.size() > left) return false;
        left -= line.size();
        left -= left > 0 ? 1 : 0;
        return true;
    };
    if (next()) {  // the header line of names
        while (next() && !ListTokens(line).empty()) ++rows;
    }
    Close(file);
    return rows;
}

bool ListColumnMarked(std::string_view name) {
    if (!name.empty() && name.back() == '\xBB') return true;
    return name.size() >= 3 && name.front() == '"' && name.back() == '"' &&
           name[name.size() - 2] == '\xBB';
}

std::string ListColumnName(std::string name, int nameChars) {
    // The mark may stand inside the quotes or after them.
    const bool marked = !name.empty() && name.back() == '\xBB';
    if (marked) name.pop_back();
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
        name = name.substr(1, name.size() - 2);
    }
    if (!marked && !name.empty() && name.back() == '\xBB') name.pop_back();
    if (nameChars > 0 && static_cast<int>(name.size()) > nameChars) name.resize(nameChars);
    return name;
}
