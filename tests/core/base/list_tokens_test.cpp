#include "core/base/list_tokens.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/base/special_values.h"

namespace fs = std::filesystem;

namespace {

class ListRowsTest : public ::testing::Test {
   protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Put(const std::string& leaf, const std::string& text) const {
        std::ofstream(dir_ / leaf, std::ios::binary) << text;
        return (dir_ / leaf).string();
    }

    fs::path dir_ =
        fs::temp_directory_path() / ("valdrix_list_rows_" + std::to_string(std::random_device{}()));
};

TEST_F(ListRowsTest, HeaderExcludedAndTheFirstEmptyLineEndsTheTable) {
    EXPECT_EQ(CountListRows(Put("a.LST", "x y\r\n1 2\r\n3 4\r\n\r\n5 6\r\n")), 2);
    EXPECT_EQ(CountListRows(Put("b.LST", "x y\n1;2\n \t;\n5 6")), 1);
    EXPECT_EQ(CountListRows(Put("c.LST", "x y\n1 2")), 1);
    EXPECT_EQ(CountListRows(Put("d.LST", "x y\n")), 0);
    EXPECT_EQ(CountListRows((dir_ / "absent.LST").string()), 0);
    fs::create_directory(dir_ / "folder.LST");
    EXPECT_EQ(CountListRows((dir_ / "folder.LST").string()), 0);
}

// The rows are the lines the update reader takes, and it ends a line at a carriage return
// alone as well: a table saved with the old Macintosh line ends has all its rows.
TEST_F(ListRowsTest, ACarriageReturnAloneEndsARow) {
    EXPECT_EQ(CountListRows(Put("cr.LST", "q\r0.5\r1.0\r1.5\r")), 3);
    EXPECT_EQ(CountListRows(Put("mixed.LST", "q\r0.5\n1.0\r\n1.5")), 3);
    EXPECT_EQ(CountListRows(Put("end.LST", "q\r0.5\r\r1.5\r")), 1);
}

TEST(ListValueTest, TokensOfTheTable) {
    const std::pair<const char*, double> rows[] = {
        {"2.5", 2.5},           {"2.5\xB0", 2.5}, {"\xDF", 1e50},       {"-\xDF", -1e50},
        {"?", kUndefinedValue}, {"+3", 3.0},      {"-1.5E-3", -1.5e-3}, {"abc", 0.0},
        {"1,5", 0.0},           {"12x", 0.0},     {"+", 0.0},           {"nanx", 0.0},
    };
    for (const auto& [token, value] : rows) {
        const std::optional<double> read = ListValue(token, 1e50);
        ASSERT_TRUE(read.has_value()) << token;
        EXPECT_EQ(*read, value) << token;
    }
}

// from_chars reads these as numbers, but a table cell holding one has no value to solve at:
// a NaN would even pass the convergence test.
TEST(ListValueTest, NanInfinityAndOverflowHaveNoValue) {
    for (const char* token :
         {"nan", "NaN", "-nan", "+nan", "inf", "-inf", "Infinity", "1e400", "-1e400", "nan\xB0"}) {
        EXPECT_FALSE(ListValue(token, 1e50).has_value()) << token;
    }
}

}  // namespace
