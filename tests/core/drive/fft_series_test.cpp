// Reading a result series for the FFT: the table, the columns the dialog preselects, and the
// sweeps of a second parameter.

#include "core/drive/fft_series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "core/data_table.h"

TEST(SeriesText, ReadsTheParameterLineHeaderAndRowsWithEverySeparator) {
    const SeriesTable t = ReadSeriesText(
        "PARAMETER:         b        3\r\n"
        "   t   yr;yi\tb\r\n"
        "0 1.5;-2e-3\t7\r\n"
        "1 x 3\n"
        "\n"
        "2 2 2 2\n");
    EXPECT_TRUE(t.parameterLine);
    EXPECT_EQ(t.parameterName, "b");
    EXPECT_EQ(t.parameterColumn, 3);
    EXPECT_TRUE(SeriesBySweep(t));
    EXPECT_EQ(t.columns, (std::vector<std::string>{"t", "yr", "yi", "b"}));
    ASSERT_EQ(t.rows.size(), 2u);  // the empty line ends the table
    EXPECT_EQ(t.rows[0], (std::vector<double>{0, 1.5, -2e-3, 7}));
    EXPECT_EQ(t.rowLines, (std::vector<int>{3, 4}));
    ASSERT_EQ(t.rows[1].size(), 3u);
    EXPECT_TRUE(std::isnan(t.rows[1][1]));  // not a number, never 0
}

TEST(SeriesText, ToleratesWhatIsNotATable) {
    const char* const texts[] = {"",
                                 "\n",
                                 "PARAMETER:",
                                 "PARAMETER: q -3\nx\n1\n",
                                 "PARAMETER: q 1e99\nx y\n",
                                 "\xff\xfe;;;\n\t\t\n1 2 3"};
    for (const char* text : texts) {
        const SeriesTable t = ReadSeriesText(text);
        EXPECT_LT(t.parameterColumn, 1000) << text;
        EXPECT_FALSE(SeriesBySweep(t)) << text;
        EXPECT_EQ(t.rows.size(), t.rowLines.size());
    }
}

// The series texts and their columns are tests/data/fft_series/preselection.txt.
TEST(SeriesColumns, PreselectionFindsTheComplexPairAndTheRisingColumn) {
    static_assert(kNoFftColumn == -1, "the table writes no column as -1");
    for (const data_table::Row& c : data_table::Read("fft_series/preselection", 4)) {
        const FftChoice choice = PreselectFftColumns(ReadSeriesText(c[0]));
        EXPECT_EQ(std::tuple(choice.timeColumn, choice.realColumn, choice.imagColumn),
                  std::tuple(std::stoi(c[1]), std::stoi(c[2]), std::stoi(c[3])))
            << c[0];
    }
}

TEST(SeriesSweeps, EachValueOfTheParameterIsOneSweepAndRowsWithoutNumbersAreLeftOut) {
    const SeriesTable t = ReadSeriesText(
        "PARAMETER:         p        1\n"
        "t p yr yi\n"
        "0 1 1 0\n1 1 2 0\n"
        "0 2 3 1\n1 2 ? 1\n2 2 5 1\n"
        "0 1 6 0\n");  // the first value again: a new sweep
    FftChoice c;
    c.timeColumn = 0;
    c.realColumn = 2;
    c.imagColumn = 3;
    int leftOut = -1;
    const std::vector<SeriesSweep> sweeps = CollectSweeps(t, c, leftOut);
    EXPECT_EQ(leftOut, 1);
    ASSERT_EQ(sweeps.size(), 3u);
    EXPECT_EQ(sweeps[0].parameter, 1.0);
    EXPECT_EQ(sweeps[1].signal, (std::vector<std::complex<double>>{{3, 1}, {5, 1}}));
    EXPECT_EQ(sweeps[1].time, (std::vector<double>{0, 2}));
    EXPECT_EQ(sweeps[2].signal.size(), 1u);

    // Without a parameter line, or without an imaginary column, it is one real series.
    const SeriesTable plain = ReadSeriesText("t y\n0 1\n1 2\n");
    c.realColumn = 1;
    c.imagColumn = kNoFftColumn;
    const std::vector<SeriesSweep> one = CollectSweeps(plain, c, leftOut);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].signal, (std::vector<std::complex<double>>{{1, 0}, {2, 0}}));
    EXPECT_EQ(leftOut, 0);
}
