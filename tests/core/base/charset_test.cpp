#include "core/base/charset.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(Charset, EveryByteShowsAsACharacterOfItsOwnAndComesBack) {
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        const char32_t c = charset::CodePointOf(static_cast<unsigned char>(b));
        EXPECT_TRUE(seen.insert(c).second) << "byte " << b << " shares its character";
        EXPECT_EQ(charset::ByteOf(c), b);
    }
}

TEST(Charset, CharactersNoByteShowsAsHaveNone) {
    for (char32_t c : {U'\u03BA' /* kappa */, U'\u0080', U'\u00A2', U'\u20AD', U'\U0001F600'}) {
        EXPECT_EQ(charset::ByteOf(c), -1) << std::hex << static_cast<unsigned>(c);
    }
}

TEST(Charset, Utf8OfSymbolsWesternBytesAndAscii) {
    std::string ascii(1, '\0');
    for (int c = 1; c < 0x80; ++c) ascii += static_cast<char>(c);
    EXPECT_EQ(charset::ToUtf8(ascii), ascii);
    struct Case {
        unsigned char byte;
        const char* utf8;
    };
    // clang-format off
    const Case cases[] = {{0xF0, "π"}, {0xB0, "°"}, {0xBB, "≈"}, {0xDF, "ȷ"}, {0xC4, "Δ"},
                          {0x9F, "∠"}, {0x85, "…"}, {0xA2, "↦"}, {0xF2, "≥"},
                          // bytes the language does not use
                          {0xE9, "é"}, {0xFF, "ÿ"}, {0x80, "€"}, {0x81, "\xC2\x81"}, {0xB1, "±"}};
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(charset::ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8)
            << int(c.byte);
    }
    EXPECT_EQ(charset::ToUtf8("2*\xF0*f {\xB0"
                              "C, caf\xE9}"),
              "2*π*f {°C, café}");
}

}  // namespace
