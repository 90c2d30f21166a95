#include "core/lang/code_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

struct Entry {
    int index;
    unsigned char code;
    std::string_view name;
};

// The printed names of the one-argument codes, in table order.
constexpr Entry kUnaryRows[] = {
    {1, 'S', "SIN"},     {2, 'C', "COS"},     {3, 'T', "TAN"},     {4, 's', "ARCSIN"},
    {5, 'c', "ARCCOS"},  {6, 't', "ARCTAN"},  {7, 'A', "ATAN2"},   {8, 'E', "EXP"},
    {9, 'L', "LN"},      {10, '-', "-"},      {11, 'I', "INV"},    {12, '2', "SQUARE"},
    {13, 'Q', "SQRT"},   {14, 'B', "ABS"},    {15, 'U', "U"},      {16, 'F', "IF"},
    {17, '<', "<"},      {18, '>', ">"},      {19, '=', "="},      {20, 'H', "THEN"},
    {21, 'r', "REAL"},   {22, 'i', "IMAG"},   {23, 'j', "CONJG"},  {24, 'm', "MAG"},
    {25, 'a', "ANGLE"},  {26, 0xEB, "D"},     {27, 0xE7, "DELAY"}, {28, 0x9F, "INT"},
    {29, 'l', "LIM"},    {30, 'g', "ARG"},    {31, 'P', "ERF"},    {32, 'J', "BESSJ0"},
    {33, '1', "BESSJ1"}, {34, 'Y', "BESSY0"}, {35, 'y', "BESSY1"}, {36, 'G', "GAMMLN"},
    {37, 0xE6, "GAMMP"},
};

constexpr Entry kBinaryRows[] = {
    {1, 'A', "ATAN2"}, {2, 'F', "IF"},     {3, '<', "<"},      {4, '>', ">"},
    {5, '=', "EQUAL"}, {6, 'H', "THEN"},   {7, 0xEB, "D"},     {8, 0xE7, "DELAY"},
    {9, 0x9F, "INT"},  {10, 'l', "LIM"},   {11, 'g', "ARG"},   {12, 0xE6, "GAMMP"},
};

TEST(CodeTables, UnaryTableNamesIndexesAndCodes) {
    ASSERT_EQ(kUnaryCodeCount, 37);
    std::string codes;
    for (const Entry& e : kUnaryRows) {
        SCOPED_TRACE(std::string(e.name));
        EXPECT_EQ(UnaryCodeName(e.code), e.name);
        EXPECT_EQ(UnaryCodeIndex(e.name), e.index);
        EXPECT_EQ(UnaryCodeAt(e.index), e.code);
        codes += static_cast<char>(UnaryCodeAt(e.index));
    }
    EXPECT_EQ(codes, "SCTsctAEL-I2QBUF<>=Hrijma\xEB\xE7\x9F" "lgPJ1YyG\xE6");
}

TEST(CodeTables, BinaryTableNamesIndexesAndCodes) {
    ASSERT_EQ(kBinaryCodeCount, 12);
    std::string codes;
    for (const Entry& e : kBinaryRows) {
        SCOPED_TRACE(std::string(e.name));
        EXPECT_EQ(BinaryCodeName(e.code), e.name);
        EXPECT_EQ(BinaryCodeIndex(e.name), e.index);
        EXPECT_EQ(BinaryCodeAt(e.index), e.code);
        codes += static_cast<char>(BinaryCodeAt(e.index));
    }
    EXPECT_EQ(codes, "AF<>=H\xEB\xE7\x9F" "lg\xE6");
}

TEST(CodeTables, CodesWithoutANamePrintAsQuestionMark) {
    // The arithmetic codes are printed by the writers themselves, not through the tables.
    for (unsigned char c : {'+', '*', '/', '^', '@', 'Z', '\0', '\xFF'}) {
        EXPECT_EQ(UnaryCodeName(c), "?") << int(c);
        EXPECT_EQ(BinaryCodeName(c), "?") << int(c);
    }
    for (unsigned char c : {'S', 'E', '-', 'I', 'U', 'r', 'P'}) {
        EXPECT_EQ(BinaryCodeName(c), "?") << "one-argument code " << c;
    }
    EXPECT_EQ(BinaryCodeName('-'), "?");
    EXPECT_EQ(UnaryCodeName('-'), "-");
}

TEST(CodeTables, SharedCodesHaveTheirOwnNamePerTable) {
    // EQUAL is the two-argument name of '='; the one-argument table prints it as "=".
    EXPECT_EQ(BinaryCodeName('='), "EQUAL");
    EXPECT_EQ(UnaryCodeName('='), "=");
    EXPECT_EQ(UnaryCodeIndex("EQUAL"), 0);
    EXPECT_EQ(BinaryCodeIndex("="), 0);
    // Names present in both tables: the parser compiles them as the two-argument function.
    const struct {
        std::string_view name;
        int unary, binary;
    } both[] = {{"ATAN2", 7, 1},  {"IF", 16, 2},   {"<", 17, 3},  {">", 18, 4},
                {"THEN", 20, 6},  {"D", 26, 7},    {"DELAY", 27, 8}, {"INT", 28, 9},
                {"LIM", 29, 10},  {"ARG", 30, 11}, {"GAMMP", 37, 12}};
    for (const auto& row : both) {
        EXPECT_EQ(UnaryCodeIndex(row.name), row.unary) << row.name;
        EXPECT_EQ(BinaryCodeIndex(row.name), row.binary) << row.name;
        EXPECT_EQ(UnaryCodeAt(row.unary), BinaryCodeAt(row.binary)) << "same code for " << row.name;
    }
}

TEST(CodeTables, LookupsNeedExactNames) {
    for (std::string_view name : {"sin", "Sin", "SIN ", " SIN", "SI", "SINX", "", "atan2", "If"}) {
        EXPECT_EQ(UnaryCodeIndex(name), 0) << '"' << name << '"';
        EXPECT_EQ(BinaryCodeIndex(name), 0) << '"' << name << '"';
    }
    for (int outside : {0, -1, 38, 1000}) EXPECT_EQ(UnaryCodeAt(outside), 0) << outside;
    for (int outside : {0, -1, 13}) EXPECT_EQ(BinaryCodeAt(outside), 0) << outside;
}

}  // namespace
