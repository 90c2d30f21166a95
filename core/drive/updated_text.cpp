#include "core/drive/updated_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/lang/number_text.h"
#include "core/lang/parser.h"

namespace {

constexpr unsigned char kPlaceHolder = 0x9C;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipBlanks(std::string_view text, std::size_t i) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    return i;
}

// End of the old number that starts at i (i itself when there is none).
std::size_t NumberEnd(std::string_view text, std::size_t i, unsigned char mark) {
    const std::size_t n = text.size();
    if (i >= n) return i;
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == mark || c == kPlaceHolder) {
        std::size_t j = i;
        while (j < n && static_cast<unsigned char>(text[j]) == c) ++j;
        return j;
    }
    std::size_t j = i;
    if (text[j] == '+' || text[j] == '-') ++j;
    bool digits = false;
    while (j < n && (IsDigit(text[j]) || text[j] == '.')) {
        digits = digits || IsDigit(text[j]);
        ++j;
    }
    if (!digits) return i;  // a sign or a point alone is no number
    if (j < n && (text[j] == 'E' || text[j] == 'e')) {
        std::size_t k = j + 1;
        if (k < n && (text[k] == '+' || text[k] == '-')) ++k;
        if (k < n && IsDigit(text[k])) {
            while (k < n && IsDigit(text[k])) ++k;
            j = k;
        }
    }
    return j;
}

// A starting value given as a number alone: the assignment ends after it.
bool EndsAssignment(std::string_view text, std::size_t i) {
    i = SkipBlanks(text, i);
    while (i < text.size() && (text[i] == '\r' || text[i] == '\n')) i = SkipBlanks(text, i + 1);
    return i >= text.size() || text[i] == ';' || text[i] == '{';
}

bool IsNumberByte(char c) {
    return IsDigit(c) || c == '.';
}

// The last name in a stretch of text (a comment).
std::string LastName(std::string_view text) {
    std::string last;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!IsIdentifierStart(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        const std::size_t start = i++;
        while (i < text.size() && IsIdentifierBody(static_cast<unsigned char>(text[i]))) ++i;
        last = std::string(text.substr(start, i - start));
    }
    return last;
}

// The number that starts at `i` (after blanks, which stay) replaced by the value of `name`;
// returns where copying goes on.
std::size_t ReplaceNumber(std::string_view text, std::size_t i, unsigned char mark,
                          const std::string& name, const ValueOfName& valueOf, int minWidth,
                          std::string& out) {
    const std::size_t numberStart = SkipBlanks(text, i);
    out.append(text.substr(i, numberStart - i));
    const std::size_t numberEnd = NumberEnd(text, numberStart, mark);
    if (numberEnd == numberStart || name.empty()) return numberStart;
    const auto first = static_cast<unsigned char>(text[numberStart]);
    const bool placeHolder = first == mark || first == kPlaceHolder;
    const std::optional<double> value = valueOf(name);
    if (!value || !std::isfinite(*value)) return numberStart;
    if (mark == kAssignMark && !placeHolder && !EndsAssignment(text, numberEnd)) {
        return numberStart;  // a starting value given as an expression stays
    }
    const int width = std::max(static_cast<int>(numberEnd - numberStart), minWidth);
    // The largest value is written as digits: in equation text its byte is the imaginary unit.
    out += FormatValue(*value, width, std::numeric_limits<double>::infinity());
    return numberEnd;
}

}  // namespace

std::string UpdatedText(std::string_view text, unsigned char mark, const ValueOfName& valueOf,
                        int minWidth) {
    std::string out;
    out.reserve(text.size() + 64);
    const bool tie = mark == kTieMark;
    const std::size_t n = text.size();
    bool inComment = false;
    std::string commentName;  // the name a linked constant is tied to: the last one in a comment
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '{' || c == '}') inComment = c == '{';
        if (tie && c == mark && (i == 0 || !IsNumberByte(text[i - 1]))) {
            // A tie sign that begins a constant (after a number it is the degree sign). A
            // comment may follow it to name the variable.
            out += static_cast<char>(c);
            std::size_t j = SkipBlanks(text, i + 1);
            if (j < n && text[j] == '{') {
                const std::size_t close = text.find('}', j);
                const std::size_t end = (close == std::string_view::npos) ? n : close + 1;
                const std::string name = LastName(text.substr(j, end - j));
                if (!name.empty()) commentName = name;
                j = end;
            }
            out.append(text.substr(i + 1, j - (i + 1)));
            i = ReplaceNumber(text, j, mark, commentName, valueOf, minWidth, out);
            continue;
        }
        if (!IsIdentifierStart(c)) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t start = i++;
        while (i < n && IsIdentifierBody(static_cast<unsigned char>(text[i]))) ++i;
        const std::string name(text.substr(start, i - start));
        out += name;
        if (inComment) commentName = name;

        // A name, blanks, the mark: the number after it takes the name's value.
        const std::size_t j = SkipBlanks(text, i);
        if (j >= n || static_cast<unsigned char>(text[j]) != mark) continue;
        if (!tie && inComment) continue;
        out.append(text.substr(i, j + 1 - i));
        i = ReplaceNumber(text, j + 1, mark, name, valueOf, minWidth, out);
    }
    return out;
}
