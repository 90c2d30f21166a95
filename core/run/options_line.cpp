#include "core/run/options_line.h"

#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string_view>

// The options line holds up to ten blank-separated fields in a fixed order. A field that does
// not fit is consumed all the same and leaves its setting alone, so a misplaced word never
// shifts the fields after it.

std::string NextOptionToken(std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ') ++i;  // only the blank: a tab is a character
    std::string token;
    while (i < line.size() && line[i] != ' ') {
        const char c = line[i++];
        if (c == '}') continue;
        token += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    line.erase(0, i);
    return token;
}

int OptionInteger(const std::string& token, int current) {
    int value = 0, used = 0;
    if (std::sscanf(token.c_str(), "%d%n", &value, &used) == 1 &&
        used == static_cast<int>(token.size())) {
        return value;
    }
    return current;
}

double OptionReal(const std::string& token, double current) {
    if (token.empty()) return current;
    std::string text = token;
    // Documents always write a point; strtod reads the locale's separator.
    const char separator = *std::localeconv()->decimal_point;
    if (separator != '.') {
        const auto dot = text.find('.');
        if (dot != std::string::npos) text[dot] = separator;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return current;
    return value;
}

namespace {

// The words of the two choice fields, at the position of the value they select.
constexpr std::string_view kMethodWords[] = {"NEWTON", "ROBUST", "DISHONEST", "HOMOTOPY"};
constexpr std::string_view kJacobianWords[] = {"SYMBOLIC", "INCREMENTAL"};
static_assert(std::size(kMethodWords) == Describe(SolverOption::kMethod).domain.highest + 1);
static_assert(std::size(kJacobianWords) ==
              Describe(SolverOption::kJacobianMode).domain.highest + 1);

// Position of token among words, or -1.
template <std::size_t N>
int WordPosition(const std::string& token, const std::string_view (&words)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (token == words[i]) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

SolveMethod OptionMethod(const std::string& token, SolveMethod current) {
    const int position = WordPosition(token, kMethodWords);
    return position < 0 ? current : static_cast<SolveMethod>(position);
}

JacobianMode OptionJacobian(const std::string& token, JacobianMode current) {
    const int position = WordPosition(token, kJacobianWords);
    return position < 0 ? current : static_cast<JacobianMode>(position);
}

bool OptionSequential(const std::string& token, bool current) {
    // The line can switch grouping on but never off.
    return token == "SEQUENTIAL" ? true : current;
}

Arithmetic OptionComplex(const std::string& token, Arithmetic current) {
    if (token == "COMPLEX") return Arithmetic::kComplex;
    if (token == "REAL") return Arithmetic::kReal;
    return current;
}

int OptionCapacity(std::string line, int current) {
    constexpr std::string_view kWord = "CAPACITY=";
    constexpr int kFields = 10;
    int capacity = current;
    for (int field = 0; field < kFields; ++field) {
        const std::string token = NextOptionToken(line);
        if (token.compare(0, kWord.size(), kWord) != 0) continue;
        // A value outside the setting's domain does not fit, as a word of another field.
        const int value = OptionInteger(token.substr(kWord.size()), 0);
        if (InDomain(Describe(SolverOption::kCapacity), value)) capacity = value;
    }
    return capacity;
}

void ReadOptionsLine(SolverSettings& s, RunConstants& k, std::string line) {
    s.capacity = OptionCapacity(line, s.capacity);
    s.maxIterations = OptionInteger(NextOptionToken(line), s.maxIterations);
    s.toleranceExponent = OptionInteger(NextOptionToken(line), s.toleranceExponent);
    s.method = OptionMethod(NextOptionToken(line), s.method);
    s.jacobianMode = OptionJacobian(NextOptionToken(line), s.jacobianMode);
    s.maxGuess = OptionReal(NextOptionToken(line), s.maxGuess);
    s.solveInGroups = OptionSequential(NextOptionToken(line), s.solveInGroups);
    s.deltaJ = OptionReal(NextOptionToken(line), s.deltaJ);
    s.deltaT = OptionReal(NextOptionToken(line), s.deltaT);
    k.arithmetic = OptionComplex(NextOptionToken(line), k.arithmetic);
}
