#include "core/base/list_tokens.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/base/result_table.h"
#include "core/data_table.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

class ListRowsTest : public ::testing::Test, protected ScratchDir {};

TEST_F(ListRowsTest, HeaderExcludedTheFirstEmptyLineEndsTheTableAndACarriageReturnARow) {
    EXPECT_EQ(CountListRows(Put("a.LST", "x y\r\n1 2\r\n3 4\r\n\r\n5 6\r\n")), 2);
    EXPECT_EQ(CountListRows(Put("b.LST", "x y\n1;2\n \t;\n5 6")), 1);
    EXPECT_EQ(CountListRows(Put("c.LST", "x y\n1 2")), 1);
    EXPECT_EQ(CountListRows(Put("d.LST", "x y\n")), 0);
    EXPECT_EQ(CountListRows(File("absent.LST")), 0);
    fs::create_directory(dir / "folder.LST");
    EXPECT_EQ(CountListRows(File("folder.LST")), 0);
    // The rows are the lines the update reader takes, and it ends a line at a carriage return
    // alone as well: a table saved with the old Macintosh line ends has all its rows.
    EXPECT_EQ(CountListRows(Put("cr.LST", "q\r0.5\r1.0\r1.5\r")), 3);
    EXPECT_EQ(CountListRows(Put("mixed.LST", "q\r0.5\n1.0\r\n1.5")), 3);
    EXPECT_EQ(CountListRows(Put("end.LST", "q\r0.5\r\r1.5\r")), 1);
}

// from_chars reads "nan", "inf" and "1e400" as numbers, but no table cell means one: they are
// text that is no number, as "abc" is. A NaN held by a fixing equation would even pass the
// convergence test.
TEST(ListValueTest, NumbersAndSymbolsButNoNanInfinityOrOverflow) {
    for (const data_table::Row& row : data_table::Read("list_tokens/values")) {
        EXPECT_EQ(ListValue(row[0], 1e50), std::stod(row[1])) << row[0];
    }
    EXPECT_EQ(ListColumnName("\"rate\"\xBB", 8), "rate");
    EXPECT_EQ(ListColumnName("temperature", 8), "temperat");  // as the compiler cuts names
}

}  // namespace
