#include <cctype>
#include <charconv>
#include <string>
#include <system_error>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/lang_messages.h"
#include "core/lang/parser.h"

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Reads the characters of a number token: an optional sign, digits with at most one '.',
// and at most one exponent letter that may carry a sign. A blank or comment ends the token.
std::string CollectNumberToken(CoreState& s) {
    ParserState& p = s.parser;
    std::string token;
    bool point = false;
    bool exponent = false;
    bool mantissa = false;  // a digit or point came before
    bool signAllowed = true;
    for (;;) {
        const unsigned char c = p.ch;
        if (std::isdigit(c)) {
            mantissa = true;
            signAllowed = false;
        } else if (c == '.' && !point && !exponent) {
            point = true;
            mantissa = true;
            signAllowed = false;
        } else if ((c == 'E' || c == 'e') && !exponent && mantissa) {
            exponent = true;
            signAllowed = true;
        } else if ((c == '+' || c == '-') && signAllowed) {
            signAllowed = false;
        } else {
            break;
        }
        token += static_cast<char>(c);
        NextChar(s);
        if (p.skipped) break;
    }
    return token;
}

}  // namespace

std::string NormaliseNumber(std::string token) {
    const std::size_t dot = token.find('.');
    if (dot == std::string::npos) return token;
    if (dot + 1 >= token.size() || !IsDigit(token[dot + 1])) token.insert(dot + 1, 1, '0');
    if (dot == 0 || !IsDigit(token[dot - 1])) token.insert(dot, 1, '0');
    return token;
}

bool ConvertNumber(const std::string& token, double& value) {
    const std::string text = NormaliseNumber(token);
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    if (first == last) return false;
    // from_chars reads the same in every locale, unlike strtod.
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last;
}

void Number(CoreState& s, unsigned char form) {
    ParserState& p = s.parser;
    const std::string token = CollectNumberToken(s);

    if (token == "-") {  // a minus before an operand that is not a number
        if (p.ch == '(') {
            ParenthesisedRelation(s);
        } else {
            Term(s);
        }
        if (!p.error) Emit(s, kKindUnary, code::kNeg);
        return;
    }

    double value = 0.0;
    if (!ConvertNumber(token, value)) {
        ParseError(s, parser_message::kNumericFormat);
        value = 0.0;
    }
    // The suffixes belong to the number only when they touch it.
    if (!p.skipped && p.ch == 0xB0) {  // degree sign
        value = value / 180 * kPi;
        NextChar(s);
    }
    if (!p.skipped && p.ch == 0xF0) {  // pi
        value *= kPi;
        NextChar(s);
    }
    Emit(s, kKindConst, form, 0, value);

    // Implicit multiplication, as in 2x or 3(a+b). A name is a factor only when it touches
    // the number: after a blank it is not, so IF x > 1 THEN reads THEN as the keyword. 0xF3
    // is a letter but never a factor here: after a number it is the inequality relation, so
    // 2 0xF3 x compares rather than multiplies.
    const bool name = !p.skipped && IsIdentifierStart(p.ch) && p.ch != 0xF3;
    if (p.ch == '(' || name) {
        PushBack(s);
        p.ch = '*';
    }
}
