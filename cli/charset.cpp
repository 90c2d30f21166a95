#include "cli/charset.h"

#include <array>

namespace {

struct Symbol {
    unsigned char byte;
    char32_t code;
};

// The letters and signs of the equation language; other bytes are shown as Latin-1.
constexpr Symbol kSymbols[] = {
    {0x85, U'…'}, {0x8A, U'ζ'}, {0x9F, U'∠'}, {0xB0, U'°'}, {0xBB, U'≈'}, {0xC3, U'Γ'},
    {0xC4, U'Δ'}, {0xC8, U'Θ'}, {0xCB, U'Λ'}, {0xCE, U'Σ'}, {0xD0, U'Π'}, {0xD3, U'∑'},
    {0xD6, U'Φ'}, {0xD8, U'Ψ'}, {0xD9, U'Ω'}, {0xDF, U'ȷ'}, {0xE1, U'α'}, {0xE2, U'β'},
    {0xE3, U'γ'}, {0xE4, U'δ'}, {0xE5, U'η'}, {0xE6, U'ψ'}, {0xE7, U'ν'}, {0xE8, U'θ'},
    {0xEB, U'λ'}, {0xEC, U'μ'}, {0xED, U'ε'}, {0xEE, U'ξ'}, {0xF0, U'π'}, {0xF1, U'ρ'},
    {0xF2, U'≥'}, {0xF3, U'σ'}, {0xF4, U'τ'}, {0xF5, U'υ'}, {0xF6, U'φ'}, {0xF7, U'χ'},
    {0xF8, U'ϕ'}, {0xF9, U'ω'},
};

constexpr std::array<char32_t, 128> BuildTable() {
    std::array<char32_t, 128> table{};
    for (int i = 0; i < 128; ++i) table[i] = static_cast<char32_t>(0x80 + i);
    for (const Symbol& s : kSymbols) table[s.byte - 0x80] = s.code;
    return table;
}

constexpr std::array<char32_t, 128> kTable = BuildTable();

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

std::string ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) out += ch;
        else AppendUtf8(out, kTable[b - 0x80]);
    }
    return out;
}
