#include "core/base/charset.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/data_table.h"

namespace {

// Every byte shows as a character of its own and comes back; characters no byte shows as
// have none.
TEST(Charset, EveryByteShowsAsACharacterOfItsOwnAndComesBack) {
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        const char32_t c = charset::CodePointOf(static_cast<unsigned char>(b));
        EXPECT_TRUE(seen.insert(c).second) << "byte " << b << " shares its character";
        EXPECT_EQ(charset::ByteOf(c), b);
    }
    for (char32_t c : {U'\u03BA' /* kappa */, U'\u0080', U'\u00A2', U'\u20AD', U'\U0001F600'}) {
        EXPECT_EQ(charset::ByteOf(c), -1) << std::hex << static_cast<unsigned>(c);
    }
}

TEST(Charset, Utf8OfSymbolsWesternBytesAndAscii) {
    std::string ascii(1, '\0');
    for (int c = 1; c < 0x80; ++c) ascii += static_cast<char>(c);
    EXPECT_EQ(charset::ToUtf8(ascii), ascii);
    for (const data_table::Row& row : data_table::Read("charset/utf8")) {
        EXPECT_EQ(charset::ToUtf8(row[0]), row[1]) << row[1];
    }
    EXPECT_EQ(charset::ToUtf8("2*\xF0*f {\xB0"
                              "C, caf\xE9}"),
              "2*π*f {°C, café}");
}

}  // namespace
