#include "cli/charset.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Byte(unsigned char b) { return std::string(1, static_cast<char>(b)); }

TEST(ToUtf8Test, AsciiPassesUnchanged) {
    std::string all;
    for (int c = 1; c < 0x80; ++c) all += static_cast<char>(c);
    EXPECT_EQ(ToUtf8(all), all);
    EXPECT_EQ(ToUtf8(""), "");
    EXPECT_EQ(ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(ToUtf8Test, SymbolsOfTheEquationLanguage) {
    struct Case { unsigned char byte; const char* utf8; };
    for (const Case& c : {Case{0xF0, "π"}, Case{0xB0, "°"}, Case{0xBB, "≈"}, Case{0xDF, "ȷ"},
                          Case{0xE1, "α"}, Case{0xE2, "β"}, Case{0xC4, "Δ"}, Case{0xD9, "Ω"},
                          Case{0xF9, "ω"}, Case{0xF2, "≥"}, Case{0x9F, "∠"}, Case{0x85, "…"}}) {
        EXPECT_EQ(ToUtf8(Byte(c.byte)), c.utf8) << std::hex << int(c.byte);
    }
}

TEST(ToUtf8Test, OtherHighBytesAreLatin1) {
    struct Case { unsigned char byte; const char* utf8; };
    for (const Case& c : {Case{0xE9, "é"}, Case{0xFC, "ü"}, Case{0xFF, "ÿ"}, Case{0xA0, "\xC2\xA0"},
                          Case{0xC0, "À"}, Case{0x80, "\xC2\x80"}, Case{0xB1, "±"}}) {
        EXPECT_EQ(ToUtf8(Byte(c.byte)), c.utf8) << std::hex << int(c.byte);
    }
}

TEST(ToUtf8Test, MixedTextKeepsItsOrder) {
    EXPECT_EQ(ToUtf8("r = 2*" + Byte(0xF0) + "*f; {" + Byte(0xB0) + "C, caf" + Byte(0xE9) + "}"),
              "r = 2*π*f; {°C, café}");
}

}  // namespace
