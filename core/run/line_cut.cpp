#include "core/run/line_cut.h"

#include "core/lang/parser.h"

namespace {

constexpr std::size_t kLowestCut = 41;  // 1-based position below which the rule cuts nowhere

unsigned char At(const std::string& line, std::size_t i) {
    return static_cast<unsigned char>(line[i]);
}
bool IsSign(unsigned char c) {
    return c == '+' || c == '-';
}
bool IsExponentLetter(unsigned char c) {
    return c == 'E' || c == 'e';
}
bool IsDigitOrPoint(unsigned char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

// Characters of numbers and names, and the marks that count only when they touch them (the
// degree sign after a number, the imaginary unit before one). A line end between two of them
// makes two tokens: 2x would read as 2 and then a name where an operator is due.
bool IsWordChar(unsigned char c) {
    return IsIdentifierBody(c) || c == '.' || c == 0xB0 || c == 0xDF;
}

// After an operand a sign is an operator. Anywhere else it begins an operand, and before a
// digit it is the sign of that number: a*-5*b multiplies a by the number -5, while a line
// ending in a*- would negate all of 5*b. A leading sign of an expression (x = -5*b) reads the
// same either way, but telling it from a*-5 needs the grammar, so it is kept whole as well.
bool SignBeginsNumber(const std::string& line, std::size_t i) {
    while (i > 0 && IsBlankChar(At(line, i - 1))) --i;
    if (i == 0) return true;
    const unsigned char before = At(line, i - 1);
    return !(IsIdentifierBody(before) || before == '.' || before == ')');
}

// Whether line[i - 1] and line[i] belong to different tokens, so that a line end between them
// changes nothing the compiler reads.
bool Separates(const std::string& line, std::size_t i) {
    const unsigned char a = At(line, i - 1), b = At(line, i);
    if (IsBlankChar(a) || IsBlankChar(b)) return true;
    if (IsWordChar(a) && IsWordChar(b)) return false;
    if (IsExponentLetter(a) && IsSign(b)) return false;
    if (IsSign(a) && i >= 2 && IsExponentLetter(At(line, i - 2))) return false;
    if (IsSign(a) && IsDigitOrPoint(b) && SignBeginsNumber(line, i - 1)) return false;
    return true;
}

// Length of the piece that starts at `start` when it ends after the last c at positions
// kLowestCut..kWorkLineLength of it that ends no token early, or 0.
std::size_t FindCut(const std::string& line, std::size_t start, char c) {
    for (std::size_t p = kWorkLineLength; p >= kLowestCut; --p) {
        if (line[start + p - 1] == c && Separates(line, start + p)) return p;
    }
    return 0;
}

// Length of the piece that ends at the token boundary nearest position kWorkLineLength, at or
// before it if there is one; the rest of the line when one token runs to its end.
std::size_t NearestBoundary(const std::string& line, std::size_t start) {
    for (std::size_t p = kWorkLineLength; p >= 1; --p) {
        if (Separates(line, start + p)) return p;
    }
    std::size_t p = kWorkLineLength + 1;
    while (start + p < line.size() && !Separates(line, start + p)) ++p;
    return p;
}

std::size_t PieceLength(const std::string& line, std::size_t start) {
    for (char c : {' ', '*', '+', '-'}) {
        if (const std::size_t p = FindCut(line, start, c); p != 0) return p;
    }
    return NearestBoundary(line, start);
}

}  // namespace

std::vector<std::string> CutLine(const std::string& line) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (line.size() - start > kWorkLineLength) {
        const std::size_t p = PieceLength(line, start);
        if (start + p >= line.size()) break;
        pieces.push_back(line.substr(start, p));
        start += p;
    }
    pieces.push_back(line.substr(start));
    return pieces;
}
