#include "core/lang/code_tables.h"

#include <gtest/gtest.h>

#include <string>

TEST(CodeTables, CodesInTableOrderAndTheirNames) {
    std::string unary, binary;
    for (int i = 1; i <= kUnaryCodeCount; ++i) {
        unary += static_cast<char>(UnaryCodeAt(i));
        EXPECT_EQ(UnaryCodeIndex(UnaryCodeName(UnaryCodeAt(i))), i);
    }
    for (int i = 1; i <= kBinaryCodeCount; ++i) {
        binary += static_cast<char>(BinaryCodeAt(i));
        EXPECT_EQ(BinaryCodeIndex(BinaryCodeName(BinaryCodeAt(i))), i);
    }
    EXPECT_EQ(unary, "SCTsctAEL-I2QBUF<>=Hrijma\xEB\xE7\x9F" "lgPJ1YyG\xE6");
    EXPECT_EQ(binary, "AF<>=H\xEB\xE7\x9F" "lg\xE6");
    EXPECT_EQ(UnaryCodeName('S'), "SIN");
    EXPECT_EQ(UnaryCodeName(0x9F), "INT");
    EXPECT_EQ(BinaryCodeName(0xE6), "GAMMP");
    // '=' is EQUAL with two arguments and "=" with one; neither name works in the other table.
    EXPECT_EQ(BinaryCodeName('='), "EQUAL");
    EXPECT_EQ(UnaryCodeName('='), "=");
    EXPECT_EQ(UnaryCodeIndex("EQUAL") + BinaryCodeIndex("="), 0);
}

TEST(CodeTables, UnknownCodesAndIndexesFindNothing) {
    for (unsigned char c : {'+', 'Z', '\0'}) EXPECT_EQ(UnaryCodeName(c), "?") << int(c);
    for (unsigned char c : {'+', 'S', '-'}) EXPECT_EQ(BinaryCodeName(c), "?") << int(c);
    for (int i : {0, kUnaryCodeCount + 1}) EXPECT_EQ(UnaryCodeAt(i), 0) << i;
    for (int i : {0, kBinaryCodeCount + 1}) EXPECT_EQ(BinaryCodeAt(i), 0) << i;
    EXPECT_EQ(UnaryCodeIndex("SIN "), 0);  // names must match exactly
    EXPECT_EQ(BinaryCodeIndex("atan2"), 0);
}
