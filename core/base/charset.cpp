#include "core/base/charset.h"

#include <algorithm>
#include <array>
#include <utility>

namespace charset {
namespace {

struct Symbol {
    unsigned char byte;
    char32_t code;
};

// The letters and signs of the equation language, named after the palette buttons that insert
// them; the structural marks get signs that say what they do (0xDF imaginary unit, 0x85
// retired equation, 0x9F polar form, 0xA2 designated variable).
constexpr Symbol kSymbols[] = {
    {0x85, U'\u2026'}, {0x8A, U'\u03B6'}, {0x9F, U'\u2220'}, {0xA2, U'\u21A6'}, {0xB0, U'\u00B0'},
    {0xBB, U'\u2248'}, {0xC3, U'\u0393'}, {0xC4, U'\u0394'}, {0xC8, U'\u0398'}, {0xCB, U'\u039B'},
    {0xCE, U'\u03A3'}, {0xD0, U'\u03A0'}, {0xD3, U'\u2211'}, {0xD6, U'\u03A6'}, {0xD8, U'\u03A8'},
    {0xD9, U'\u03A9'}, {0xDF, U'\u0237'}, {0xE1, U'\u03B1'}, {0xE2, U'\u03B2'}, {0xE3, U'\u03B3'},
    {0xE4, U'\u03B4'}, {0xE5, U'\u03B7'}, {0xE6, U'\u03C8'}, {0xE7, U'\u03BD'}, {0xE8, U'\u03B8'},
    {0xEB, U'\u03BB'}, {0xEC, U'\u03BC'}, {0xED, U'\u03B5'}, {0xEE, U'\u03BE'}, {0xF0, U'\u03C0'},
    {0xF1, U'\u03C1'}, {0xF2, U'\u2265'}, {0xF3, U'\u03C3'}, {0xF4, U'\u03C4'}, {0xF5, U'\u03C5'},
    {0xF6, U'\u03C6'}, {0xF7, U'\u03C7'}, {0xF8, U'\u03D5'}, {0xF9, U'\u03C9'},
};

// Bytes 0x80..0x9F that are no symbol show as the Western code page does; its five unassigned
// positions keep their control code points, which no other byte uses. Bytes 0xA0..0xFF that are
// no symbol show as the Latin-1 character of the same number.
constexpr char32_t kHighControls[32] = {
    U'\u20AC', U'\u0081', U'\u201A', U'\u0192', U'\u201E', U'\u2026', U'\u2020', U'\u2021',
    U'\u02C6', U'\u2030', U'\u0160', U'\u2039', U'\u0152', U'\u008D', U'\u017D', U'\u008F',
    U'\u0090', U'\u2018', U'\u2019', U'\u201C', U'\u201D', U'\u2022', U'\u2013', U'\u2014',
    U'\u02DC', U'\u2122', U'\u0161', U'\u203A', U'\u0153', U'\u009D', U'\u017E', U'\u0178',
};

constexpr std::array<char32_t, 256> BuildTable() {
    std::array<char32_t, 256> table{};
    for (int i = 0; i < 256; ++i) table[i] = static_cast<char32_t>(i);
    for (int i = 0; i < 32; ++i) table[0x80 + i] = kHighControls[i];
    for (const Symbol& s : kSymbols) table[s.byte] = s.code;
    return table;
}

constexpr std::array<char32_t, 256> kTable = BuildTable();

// The bytes above 127 ordered by the code point they show as, for the way back.
using Reverse = std::array<std::pair<char32_t, unsigned char>, 128>;
constexpr Reverse BuildReverse() {
    Reverse r{};
    for (int i = 0; i < 128; ++i) r[i] = {kTable[0x80 + i], static_cast<unsigned char>(0x80 + i)};
    std::sort(r.begin(), r.end());
    return r;
}

constexpr Reverse kReverse = BuildReverse();

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

char32_t CodePointOf(unsigned char byte) {
    return kTable[byte];
}

int ByteOf(char32_t codePoint) {
    if (codePoint < 0x80) return static_cast<int>(codePoint);
    const auto at = std::lower_bound(kReverse.begin(), kReverse.end(),
                                     std::pair<char32_t, unsigned char>{codePoint, 0});
    return at != kReverse.end() && at->first == codePoint ? at->second : -1;
}

std::string ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) AppendUtf8(out, kTable[static_cast<unsigned char>(ch)]);
    return out;
}

}  // namespace charset
