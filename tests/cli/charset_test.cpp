#include "cli/charset.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ToUtf8Test, AsciiIsUnchangedSymbolsMapAndOtherHighBytesAreLatin1) {
    std::string ascii(1, '\0');
    for (int c = 1; c < 0x80; ++c) ascii += static_cast<char>(c);
    EXPECT_EQ(ToUtf8(ascii), ascii);
    struct Case { unsigned char byte; const char* utf8; };
    const Case cases[] = {{0xF0, "π"}, {0xB0, "°"}, {0xBB, "≈"}, {0xDF, "ȷ"}, {0xC4, "Δ"},
                          {0x9F, "∠"}, {0x85, "…"},  // symbols of the equation language
                          {0xE9, "é"}, {0xFF, "ÿ"}, {0x80, "\xC2\x80"}, {0xB1, "±"}};
    for (const Case& c : cases) {
        EXPECT_EQ(ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8) << int(c.byte);
    }
    EXPECT_EQ(ToUtf8("2*\xF0*f {\xB0" "C, caf\xE9}"), "2*π*f {°C, café}");
}

}  // namespace
