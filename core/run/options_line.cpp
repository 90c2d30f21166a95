#include "core/run/options_line.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string_view>
#include <system_error>

#include "core/run/run_messages.h"

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

namespace {

// The token read whole as a decimal integer, as a double so that a value beyond the range of
// int still compares with a domain; false when the token is not an integer.
bool WholeInteger(const std::string& token, double& value) {
    std::size_t i = 0;
    while (i < token.size() && std::isspace(static_cast<unsigned char>(token[i]))) ++i;
    const char* first = token.c_str() + i;
    const char* last = token.c_str() + token.size();
    if (first != last && *first == '+') ++first;  // as scanf reads it
    long long n = 0;
    const auto [end, ec] = std::from_chars(first, last, n);
    if (end != last || end == first) return false;
    if (ec == std::errc::result_out_of_range) {
        value = *first == '-' ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    if (ec != std::errc()) return false;
    value = static_cast<double>(n);
    return true;
}

// The token read whole as a real; false for an empty or partly read token.
bool WholeReal(const std::string& token, double& value) {
    if (token.empty()) return false;
    std::string text = token;
    // Documents always write a point; strtod reads the locale's separator.
    const char separator = *std::localeconv()->decimal_point;
    if (separator != '.') {
        const auto dot = text.find('.');
        if (dot != std::string::npos) text[dot] = separator;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

}  // namespace

int OptionInteger(const std::string& token, int current) {
    double value = 0.0;
    if (!WholeInteger(token, value) || value < INT_MIN || value > INT_MAX) return current;
    return static_cast<int>(value);
}

double OptionReal(const std::string& token, double current) {
    double value = 0.0;
    return WholeReal(token, value) ? value : current;
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

OptimizationRoute OptionRoute(std::string line, OptimizationRoute current) {
    constexpr std::string_view kWord = "ROUTE=";
    constexpr std::string_view kRoutes[] = {"DIRECT", "REWRITE"};
    static_assert(std::size(kRoutes) ==
                  Describe(SolverOption::kOptimizationRoute).domain.highest + 1);
    OptimizationRoute route = current;
    while (!line.empty()) {
        const std::string token = NextOptionToken(line);
        if (token.compare(0, kWord.size(), kWord) != 0) continue;
        const int position = WordPosition(token.substr(kWord.size()), kRoutes);
        if (position >= 0) route = static_cast<OptimizationRoute>(position);
    }
    return route;
}

namespace {

// A numeric field: a token that reads as a number replaces the option when the number lies in
// the option's domain. A number outside it leaves the option as it was and the console says
// so; a token that is no number is ignored silently, as it always was.
void NumericField(SolverOptions& options, SolverOption option, const std::string& token,
                  Console* console) {
    const OptionDescription& d = Describe(option);
    double value = 0.0;
    const bool number =
        d.kind == OptionKind::kReal ? WholeReal(token, value) : WholeInteger(token, value);
    if (!number) return;
    if (InDomain(d, value)) {
        SetOptionValue(options, option, value);
        return;
    }
    if (console == nullptr) return;
    ConsoleWrite(*console, run_message::kOptionsLineField + std::string(d.name) + " " + token +
                               run_message::kNotIn + DomainText(d) + run_message::kIgnored);
    ConsoleWriteLine(*console);
}

}  // namespace

void ReadOptionsLine(SolverSettings& s, RunConstants& k, std::string line, Console* console) {
    s.capacity = OptionCapacity(line, s.capacity);
    s.optimizationRoute = OptionRoute(line, s.optimizationRoute);
    NumericField(s, SolverOption::kMaxIterations, NextOptionToken(line), console);
    NumericField(s, SolverOption::kToleranceExponent, NextOptionToken(line), console);
    s.method = OptionMethod(NextOptionToken(line), s.method);
    s.jacobianMode = OptionJacobian(NextOptionToken(line), s.jacobianMode);
    NumericField(s, SolverOption::kMaxGuess, NextOptionToken(line), console);
    s.solveInGroups = OptionSequential(NextOptionToken(line), s.solveInGroups);
    NumericField(s, SolverOption::kDeltaJ, NextOptionToken(line), console);
    NumericField(s, SolverOption::kDeltaT, NextOptionToken(line), console);
    k.arithmetic = OptionComplex(NextOptionToken(line), k.arithmetic);
}
