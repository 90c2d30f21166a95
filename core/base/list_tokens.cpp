#include "core/base/list_tokens.h"

#include <charconv>
#include <cmath>

#include "core/base/special_values.h"

namespace {

bool IsCellSeparator(char c) {
    return c == ' ' || c == '\t' || c == ';' || c == '\r' || c == '\n';
}

}  // namespace

std::string_view NextListToken(std::string_view& rest) {
    std::size_t i = 0;
    while (i < rest.size() && IsCellSeparator(rest[i])) ++i;
    const std::size_t start = i;
    while (i < rest.size() && !IsCellSeparator(rest[i])) ++i;
    const std::string_view token = rest.substr(start, i - start);
    rest.remove_prefix(i);
    return token;
}

std::vector<std::string> ListTokens(std::string_view line) {
    std::vector<std::string> tokens;
    for (std::string_view t = NextListToken(line); !t.empty(); t = NextListToken(line)) {
        tokens.emplace_back(t);
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

double ListValue(std::string_view token, double big) {
    if (!token.empty() && token.back() == '\xB0') token.remove_suffix(1);
    if (token == "\xDF") return big;
    if (token == "-\xDF") return -big;
    if (token == "?") return kUndefinedValue;
    double value = 0.0;
    return ParseNumberCell(token, value) ? value : 0.0;
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
