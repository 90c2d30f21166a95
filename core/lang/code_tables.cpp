#include "core/lang/code_tables.h"

#include <array>

namespace {

struct Entry {
    unsigned char code;
    std::string_view name;
};

constexpr std::array<Entry, kUnaryCodeCount> kUnary{{
    {'S', "SIN"},    {'C', "COS"},    {'T', "TAN"},    {'s', "ARCSIN"}, {'c', "ARCCOS"},
    {'t', "ARCTAN"}, {'A', "ATAN2"},  {'E', "EXP"},    {'L', "LN"},     {'-', "-"},
    {'I', "INV"},    {'2', "SQUARE"}, {'Q', "SQRT"},   {'B', "ABS"},    {'U', "U"},
    {'F', "IF"},     {'<', "<"},      {'>', ">"},      {'=', "="},      {'H', "THEN"},
    {'r', "REAL"},   {'i', "IMAG"},   {'j', "CONJG"},  {'m', "MAG"},    {'a', "ANGLE"},
    {0xEB, "D"},     {0xE7, "DELAY"}, {0x9F, "INT"},   {'l', "LIM"},    {'g', "ARG"},
    {'P', "ERF"},    {'J', "BESSJ0"}, {'1', "BESSJ1"}, {'Y', "BESSY0"}, {'y', "BESSY1"},
    {'G', "GAMMLN"}, {0xE6, "GAMMP"},
}};

constexpr std::array<Entry, kBinaryCodeCount> kBinary{{
    {'A', "ATAN2"},
    {'F', "IF"},
    {'<', "<"},
    {'>', ">"},
    {'=', "EQUAL"},
    {'H', "THEN"},
    {0xEB, "D"},
    {0xE7, "DELAY"},
    {0x9F, "INT"},
    {'l', "LIM"},
    {'g', "ARG"},
    {0xE6, "GAMMP"},
}};

template <std::size_t N>
std::string_view NameOf(const std::array<Entry, N>& table, unsigned char code) {
    for (const Entry& e : table) {
        if (e.code == code) return e.name;
    }
    return "?";
}

template <std::size_t N>
int IndexOf(const std::array<Entry, N>& table, std::string_view name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (table[i].name == name) return static_cast<int>(i) + 1;
    }
    return 0;
}

}  // namespace

std::string_view UnaryCodeName(unsigned char code) { return NameOf(kUnary, code); }
std::string_view BinaryCodeName(unsigned char code) { return NameOf(kBinary, code); }
int UnaryCodeIndex(std::string_view name) { return IndexOf(kUnary, name); }
int BinaryCodeIndex(std::string_view name) { return IndexOf(kBinary, name); }
unsigned char UnaryCodeAt(int index) {
    return (index >= 1 && index <= kUnaryCodeCount) ? kUnary[index - 1].code : 0;
}
unsigned char BinaryCodeAt(int index) {
    return (index >= 1 && index <= kBinaryCodeCount) ? kBinary[index - 1].code : 0;
}
