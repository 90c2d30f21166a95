#include "golden_compare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Characters that continue a name or a number: a digit after one of them is not a number
// of its own ("x1", "E+02" inside "1.0E+02" is read with its mantissa).
bool IsWordChar(unsigned char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.' ||
           c >= 0x80;
}

struct Token {
    bool number = false;
    std::string_view text;
    std::size_t pad = 0;  // blanks just before a number
    std::size_t end = 0;  // column after the token
};

// Length of the number starting at i (0 when none): [sign] digits [. digits] [e [sign] digits].
std::size_t NumberLength(std::string_view s, std::size_t i) {
    if (i > 0 && IsWordChar(static_cast<unsigned char>(s[i - 1]))) return 0;
    std::size_t j = i;
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) {
        // A sign right after a name, a number or ')' is an operator.
        if (i > 0 && s[i - 1] == ')') return 0;
        ++j;
    }
    const std::size_t digitsStart = j;
    while (j < s.size() && IsDigit(static_cast<unsigned char>(s[j]))) ++j;
    std::size_t digits = j - digitsStart;
    if (j < s.size() && s[j] == '.') {
        const std::size_t fraction = j + 1;
        std::size_t k = fraction;
        while (k < s.size() && IsDigit(static_cast<unsigned char>(s[k]))) ++k;
        if (digits > 0 || k > fraction) {
            digits += k - fraction;
            j = k;
        }
    }
    if (digits == 0) return 0;
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < s.size() && (s[k] == '-' || s[k] == '+')) ++k;
        const std::size_t expStart = k;
        while (k < s.size() && IsDigit(static_cast<unsigned char>(s[k]))) ++k;
        if (k > expStart) j = k;
    }
    return j - i;
}

std::vector<Token> Tokenize(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t textStart = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        const std::size_t length = NumberLength(line, i);
        if (length == 0) {
            ++i;
            continue;
        }
        std::size_t padStart = i;
        while (padStart > textStart && line[padStart - 1] == ' ') --padStart;
        if (padStart > textStart) {
            tokens.push_back({false, line.substr(textStart, padStart - textStart), 0, padStart});
        }
        tokens.push_back({true, line.substr(i, length), i - padStart, i + length});
        i += length;
        textStart = i;
    }
    if (textStart < line.size()) {
        tokens.push_back({false, line.substr(textStart), 0, line.size()});
    }
    return tokens;
}

double ToDouble(std::string_view text) {
    return std::strtod(std::string(text).c_str(), nullptr);
}

bool NumbersAgree(double a, double b, const Tolerance& t) {
    const double bound = std::max(t.relative * std::max(std::fabs(a), std::fabs(b)), t.absolute);
    return std::fabs(a - b) <= bound;
}

std::vector<std::string_view> SplitLines(const std::string& text, bool& endsWithLineEnd) {
    std::vector<std::string_view> lines;
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos) {
            lines.push_back(rest);
            break;
        }
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }
    endsWithLineEnd = !text.empty() && text.back() == '\n';
    return lines;
}

bool ValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t more = 0;
        if (c >= 0x80) {
            if ((c >> 5) == 6)
                more = 1;
            else if ((c >> 4) == 14)
                more = 2;
            else if ((c >> 3) == 30)
                more = 3;
            else
                return false;
        }
        if (i + more >= text.size()) return false;
        for (std::size_t k = 1; k <= more; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return false;
        }
        i += more + 1;
    }
    return true;
}

std::string Printable(std::string_view line, bool rawHighBytes) {
    std::string out;
    for (char ch : line) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 0x80 && !rawHighBytes) || (c < 0x20 && c != '\t')) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += ch;
        }
    }
    return out;
}

// One step of the line alignment.
struct Edit {
    char kind;  // ' ' agreeing, '-' expected only, '+' actual only
    std::size_t e, a;
};

// Longest common subsequence of agreeing lines, after the agreeing head and tail are set aside.
std::vector<Edit> Align(const std::vector<std::string_view>& ex,
                        const std::vector<std::string_view>& ac, const Tolerance& t) {
    std::vector<Edit> edits;
    std::size_t head = 0;
    while (head < ex.size() && head < ac.size() && LinesAgree(ex[head], ac[head], t)) ++head;
    std::size_t tail = 0;
    while (tail < ex.size() - head && tail < ac.size() - head &&
           LinesAgree(ex[ex.size() - 1 - tail], ac[ac.size() - 1 - tail], t)) {
        ++tail;
    }
    for (std::size_t i = 0; i < head; ++i) edits.push_back({' ', i, i});
    const std::size_t n = ex.size() - head - tail;
    const std::size_t m = ac.size() - head - tail;
    constexpr std::size_t kLargestTable = 16'000'000;
    if (n * m <= kLargestTable) {
        std::vector<std::vector<unsigned>> lcs(n + 1, std::vector<unsigned>(m + 1, 0));
        for (std::size_t i = n; i-- > 0;) {
            for (std::size_t j = m; j-- > 0;) {
                lcs[i][j] = LinesAgree(ex[head + i], ac[head + j], t)
                                ? lcs[i + 1][j + 1] + 1
                                : std::max(lcs[i + 1][j], lcs[i][j + 1]);
            }
        }
        std::size_t i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && LinesAgree(ex[head + i], ac[head + j], t)) {
                edits.push_back({' ', head + i++, head + j++});
            } else if (i < n && (j == m || lcs[i + 1][j] >= lcs[i][j + 1])) {
                edits.push_back({'-', head + i++, head + j});
            } else {
                edits.push_back({'+', head + i, head + j++});
            }
        }
    } else {  // too large to align: line against line
        for (std::size_t i = 0; i < std::max(n, m); ++i) {
            if (i < n) edits.push_back({'-', head + i, head + std::min(i, m)});
            if (i < m) edits.push_back({'+', head + std::min(i, n), head + i});
        }
    }
    for (std::size_t k = 0; k < tail; ++k) {
        edits.push_back({' ', ex.size() - tail + k, ac.size() - tail + k});
    }
    return edits;
}

}  // namespace

std::string MaskVarying(std::string text, const std::string& scratchDir) {
    if (!scratchDir.empty()) {
        for (std::size_t at = text.find(scratchDir); at != std::string::npos;
             at = text.find(scratchDir, at + 5)) {
            text.replace(at, scratchDir.size(), "<dir>");
        }
    }
    static const std::string kBefore = "Solved for ";
    static const std::string kAfter = " seconds";
    for (std::size_t at = text.find(kBefore); at != std::string::npos;
         at = text.find(kBefore, at + 1)) {
        const std::size_t start = at + kBefore.size();
        std::size_t end = start;
        while (end < text.size() && (IsDigit(static_cast<unsigned char>(text[end])) ||
                                     text[end] == '.' || text[end] == '-')) {
            ++end;
        }
        if (end > start && text.compare(end, kAfter.size(), kAfter) == 0) {
            text.replace(start, end - start, "<time>");
        }
    }
    return text;
}

bool LinesAgree(std::string_view expected, std::string_view actual, const Tolerance& tolerance,
                std::string* why) {
    if (expected == actual) return true;
    auto fail = [&](const std::string& reason) {
        if (why != nullptr) *why = reason;
        return false;
    };
    const std::vector<Token> e = Tokenize(expected);
    const std::vector<Token> a = Tokenize(actual);
    if (e.size() != a.size()) return fail("the text differs");
    int numberIndex = 0;
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (e[i].number != a[i].number) return fail("the text differs");
        if (!e[i].number) {
            if (e[i].text != a[i].text) return fail("the text differs");
            continue;
        }
        ++numberIndex;
        const std::string which = "number " + std::to_string(numberIndex) + " (expected " +
                                  std::string(e[i].text) + ", got " + std::string(a[i].text) + ")";
        if ((e[i].pad == 0) != (a[i].pad == 0) || (e[i].pad > 0 && e[i].end != a[i].end)) {
            return fail(which + " is not aligned as expected");
        }
        if (e[i].text != a[i].text &&
            !NumbersAgree(ToDouble(e[i].text), ToDouble(a[i].text), tolerance)) {
            return fail(which + " differs by more than the tolerance");
        }
    }
    return true;
}

std::string DiffTexts(const std::string& expected, const std::string& actual,
                      const Tolerance& tolerance) {
    bool expectedEnd = false, actualEnd = false;
    const auto ex = SplitLines(expected, expectedEnd);
    const auto ac = SplitLines(actual, actualEnd);
    const std::vector<Edit> edits = Align(ex, ac, tolerance);
    const bool raw = ValidUtf8(expected) && ValidUtf8(actual);

    // Show every change with two lines of context around it.
    constexpr std::size_t kContext = 2;
    constexpr int kMostLines = 80;
    std::vector<char> show(edits.size(), 0);
    for (std::size_t k = 0; k < edits.size(); ++k) {
        if (edits[k].kind == ' ') continue;
        const std::size_t from = k >= kContext ? k - kContext : 0;
        const std::size_t to = std::min(edits.size() - 1, k + kContext);
        for (std::size_t i = from; i <= to; ++i) show[i] = 1;
    }
    // A run of "+" lines right after a run of "-" lines replaces them one for one; each
    // replacing line is explained against its partner.
    std::vector<std::size_t> partner(edits.size(), edits.size());
    for (std::size_t k = 0; k < edits.size();) {
        std::size_t minus = k;
        while (minus < edits.size() && edits[minus].kind == '-') ++minus;
        std::size_t plus = minus;
        while (plus < edits.size() && edits[plus].kind == '+') ++plus;
        for (std::size_t p = minus; p < plus && k + (p - minus) < minus; ++p) {
            partner[p] = k + (p - minus);
        }
        k = std::max(plus, k + 1);
    }

    std::string out;
    int shown = 0;
    for (std::size_t k = 0; k < edits.size(); ++k) {
        if (!show[k]) continue;
        if (shown >= kMostLines) {
            out += "... (more differences not shown)\n";
            break;
        }
        if (k == 0 || !show[k - 1]) {
            out += "@@ expected line " + std::to_string(edits[k].e + 1) + ", actual line " +
                   std::to_string(edits[k].a + 1) + " @@\n";
        }
        const Edit& d = edits[k];
        out +=
            std::string(1, d.kind) + " " + Printable(d.kind == '+' ? ac[d.a] : ex[d.e], raw) + "\n";
        ++shown;
        if (partner[k] < edits.size()) {
            std::string why;
            LinesAgree(ex[edits[partner[k]].e], ac[d.a], tolerance, &why);
            out += "    (" + why + ")\n";
        }
    }
    if (expectedEnd != actualEnd) {
        out += expectedEnd ? "the expected text ends with a line end, the actual text does not\n"
                           : "the actual text ends with a line end, the expected text does not\n";
    }
    return out;
}
