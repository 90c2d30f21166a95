#include "core/base/list_tokens.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/base/result_table.h"
#include "core/base/special_values.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

class ListRowsTest : public ::testing::Test, protected ScratchDir {};

TEST_F(ListRowsTest, HeaderExcludedAndTheFirstEmptyLineEndsTheTable) {
    EXPECT_EQ(CountListRows(Put("a.LST", "x y\r\n1 2\r\n3 4\r\n\r\n5 6\r\n")), 2);
    EXPECT_EQ(CountListRows(Put("b.LST", "x y\n1;2\n \t;\n5 6")), 1);
    EXPECT_EQ(CountListRows(Put("c.LST", "x y\n1 2")), 1);
    EXPECT_EQ(CountListRows(Put("d.LST", "x y\n")), 0);
    EXPECT_EQ(CountListRows(File("absent.LST")), 0);
    fs::create_directory(dir / "folder.LST");
    EXPECT_EQ(CountListRows(File("folder.LST")), 0);
}

// The rows are the lines the update reader takes, and it ends a line at a carriage return
// alone as well: a table saved with the old Macintosh line ends has all its rows.
TEST_F(ListRowsTest, ACarriageReturnAloneEndsARow) {
    EXPECT_EQ(CountListRows(Put("cr.LST", "q\r0.5\r1.0\r1.5\r")), 3);
    EXPECT_EQ(CountListRows(Put("mixed.LST", "q\r0.5\n1.0\r\n1.5")), 3);
    EXPECT_EQ(CountListRows(Put("end.LST", "q\r0.5\r\r1.5\r")), 1);
}

// from_chars reads "nan", "inf" and "1e400" as numbers, but no table cell means one: they are
// text that is no number, as "abc" is. A NaN held by a fixing equation would even pass the
// convergence test.
TEST(ListValueTest, NumbersAndSymbolsButNoNanInfinityOrOverflow) {
    const std::vector<std::pair<std::string, double>> rows = {
        {"2.5", 2.5},           {"2.5\xB0", 2.5}, {"\xDF", 1e50},       {"-\xDF", -1e50},
        {"?", kUndefinedValue}, {"+3", 3.0},      {"-1.5E-3", -1.5e-3}, {"abc", 0.0},
        {"1,5", 0.0},           {"12x", 0.0},     {"nan", 0.0},         {"NaN", 0.0},
        {"-nan", 0.0},          {"+nan", 0.0},    {"inf", 0.0},         {"-inf", 0.0},
        {"Infinity", 0.0},      {"1e400", 0.0},   {"-1e400", 0.0},      {"nan\xB0", 0.0},
    };
    for (const auto& [token, value] : rows) EXPECT_EQ(ListValue(token, 1e50), value) << token;
    EXPECT_EQ(ListColumnName("\"rate\"\xBB", 8), "rate");
    EXPECT_EQ(ListColumnName("temperature", 8), "temperat");  // as the compiler cuts names
}

}  // namespace
