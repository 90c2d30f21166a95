#include "core/lang/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/base/special_values.h"

namespace {

constexpr int kMaxWidth = 40;  // no double needs more characters than this

// "1.5e+07" -> "1.5E7", "2E-05" -> "2E-5": the exponent letter in capitals, no '+', no
// leading zeros of the exponent.
std::string SystemExponent(std::string_view text) {
    const auto e = text.find_first_of("eE");
    if (e == std::string_view::npos) return std::string(text);
    std::string out(text.substr(0, e));
    out += 'E';
    std::size_t i = e + 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') out += '-';
        ++i;
    }
    while (i + 1 < text.size() && text[i] == '0') ++i;
    out.append(text.substr(i));
    return out;
}

// Significant digits a layout shows: digits of the mantissa after its leading zeros.
int SignificantDigits(std::string_view text) {
    const auto e = text.find('E');
    const std::string_view mantissa = text.substr(0, e);
    int count = 0;
    bool leading = true;
    for (char c : mantissa) {
        if (c < '0' || c > '9') continue;
        if (leading && c == '0') continue;
        leading = false;
        ++count;
    }
    return count;
}

std::string Printed(const char* format, int decimals, double magnitude) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, format, decimals, magnitude);
    return buffer;
}

int DecimalExponent(double magnitude) {
    return static_cast<int>(std::floor(std::log10(magnitude)));
}

// The layout with the most decimals that fits the width, or "" when none does. The search
// starts at the decimals that fill the width exactly; rounding up (9.99 to 10.0) may take a
// character more, hence the loop.
std::string FixedLayout(double magnitude, int width) {
    const int integerDigits = magnitude >= 1.0 ? DecimalExponent(magnitude) + 1 : 1;
    for (int d = std::max(width - integerDigits - 1, 0); d >= 0; --d) {
        std::string text = Printed("%.*f", d, magnitude);
        if (static_cast<int>(text.size()) <= width) return text;
    }
    return "";
}

std::string ExponentLayout(double magnitude, int width) {
    const int exponent = DecimalExponent(magnitude);
    const int exponentLength =
        1 + (exponent < 0) + static_cast<int>(std::to_string(std::abs(exponent)).size());
    for (int d = std::max(width - exponentLength - 2, 0); d >= 0; --d) {
        std::string text = SystemExponent(Printed("%.*E", d, magnitude));
        if (static_cast<int>(text.size()) <= width) return text;
    }
    return "";
}

std::string WithoutTrailingZeros(const std::string& text) {
    const auto e = text.find('E');
    std::string mantissa = text.substr(0, e);
    const std::string exponent = e == std::string::npos ? "" : text.substr(e);
    if (mantissa.find('.') != std::string::npos) {
        while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
        if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
    }
    return mantissa + exponent;
}

}  // namespace

std::string FormatValue(double value, int width, double big) {
    if (value == big) return "\xDF";
    if (value == -big) return "-\xDF";
    if (value == kUndefinedValue || std::isnan(value)) return "?";
    if (value == 0.0) return "0";
    if (value == kPi) return "\xF0";
    if (std::isinf(value)) return value > 0 ? "\xDF" : "-\xDF";

    const int w = std::clamp(width, 1, kMaxWidth);
    const double magnitude = std::fabs(value);
    const std::string fixed = FixedLayout(magnitude, w);
    const std::string exponent = ExponentLayout(magnitude, w);
    const int fixedDigits = fixed.empty() ? 0 : SignificantDigits(fixed);
    const int exponentDigits = exponent.empty() ? 0 : SignificantDigits(exponent);

    std::string text;
    if (fixedDigits > 0 && fixedDigits >= exponentDigits) {
        text = fixed;
    } else if (exponentDigits > 0) {
        text = exponent;
    } else {
        text = SystemExponent(Printed("%.*E", 0, magnitude));
    }
    return value < 0 ? "-" + text : text;
}

std::string FormatConstant(double value, int width, double big) {
    return WithoutTrailingZeros(FormatValue(value, width, big));
}

std::string ExactConstant(double value, double big) {
    if (std::isnan(value) || value == kUndefinedValue) return "?";
    // The sign of a zero matters to ATAN2 and to a division.
    if (value == 0.0) return std::signbit(value) ? "-0" : "0";
    if (std::isinf(value)) value = value > 0 ? big : -big;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return SystemExponent(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}
