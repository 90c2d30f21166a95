#include "graphs/result_table.h"

#include <gtest/gtest.h>

#include <cmath>

#include "graph_test_files.h"

using namespace graphs;

namespace {

const std::string kRows = "1 10 100\n2 20 200\n3 30 300\n";

}  // namespace

TEST(ResultTable, CurvesFindTheirColumnsByNameWhenTheHeaderChanges) {
    const ScratchDir dir;
    std::vector<GraphCurve> curves{Curve("t", "y")};
    ResultTable table;
    EXPECT_EQ(table.Read(dir.Put("a.PRN", "t x y\n" + kRows), curves).outcome, ReadOutcome::Read);
    EXPECT_EQ(curves[0].yIndex, 2);
    EXPECT_EQ(table.Column(2)->at(1), 200.0f);

    EXPECT_EQ(table.Read(dir.Put("a.PRN", "t z y\n" + kRows), curves).outcome, ReadOutcome::Read);
    EXPECT_EQ(curves[0].yIndex, 2);
    EXPECT_EQ(table.Read(dir.Put("a.PRN", "y t\n1 2\n"), curves).outcome, ReadOutcome::Read);
    EXPECT_EQ(curves[0].xIndex, 1);
    EXPECT_EQ(curves[0].yIndex, 0);

    const ResultTable::Result missing = table.Read(dir.Put("a.PRN", "t x z\n" + kRows), curves);
    EXPECT_EQ(missing.outcome, ReadOutcome::MissingColumn);
    EXPECT_EQ(missing.missingName, "y");
    EXPECT_EQ(curves[0].xIndex, 1);          // the curves keep their last match
    EXPECT_EQ(table.Column(0)->size(), 1u);  // and the table what it read before
}

// The table format's own rules are the core reader's; here, what reaches a graph's columns: a
// cell that is missing or no number leaves a gap, so x and y stay paired.
TEST(ResultTable, CellsThatAreNoNumbersLeaveGaps) {
    const std::string path = VALDRIX_GRAPH_LAYOUT_DATA "/gaps.PRN";
    std::vector<GraphCurve> curves{Curve("t", "y"), Curve("t", "z")};
    ResultTable table;
    ASSERT_EQ(table.Read(path, curves).outcome, ReadOutcome::Read);
    EXPECT_EQ(table.rowCount, 4u);
    const std::vector<float>& y = *table.Column(1);
    ASSERT_EQ(y.size(), 4u);
    EXPECT_EQ(y[0], 150000.0f);
    EXPECT_TRUE(std::isnan(y[1]));
    EXPECT_TRUE(std::isnan(y[2]));
    EXPECT_FLOAT_EQ(y[3], 1.23456e-5f);
    EXPECT_EQ(table.Column(2)->at(3), 9.0f);
    EXPECT_TRUE(table.parameterName.empty());
}

TEST(ResultTable, ReadsSweepsAndTheirParameterLine) {
    const std::string path = VALDRIX_GRAPHS_DATA "/range_sweep.PRN";
    const std::optional<ResultHeader> h = ReadResultHeader(path);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->parameterName, "v");
    EXPECT_EQ(h->parameterColumn, 2);
    EXPECT_EQ(h->names, (std::vector<std::string>{"g", "r", "v", "a"}));

    std::vector<GraphCurve> curves{Curve("a", "r")};
    ResultTable table;
    ASSERT_EQ(table.Read(path, curves).outcome, ReadOutcome::Read);
    EXPECT_EQ(table.rowCount, 45u);
    EXPECT_EQ(table.parameterValues, (std::vector<float>{10, 15, 20}));
    EXPECT_EQ(table.parameterRows, (std::vector<std::size_t>{0, 15, 30}));
    EXPECT_FLOAT_EQ(table.Column(1)->at(7), 10.1893334f);
    EXPECT_TRUE(ReadResultHeader(VALDRIX_GRAPHS_DATA "/angle_sweep.PRN")->parameterName.empty());

    const std::string uneven = VALDRIX_GRAPH_LAYOUT_DATA "/uneven_branches.PRN";  // 3, 2, 1 rows
    std::vector<GraphCurve> ab{Curve("a", "b")};
    ASSERT_EQ(table.Read(uneven, ab).outcome, ReadOutcome::Read);
    EXPECT_EQ(table.parameterName, "k");
    EXPECT_EQ(table.parameterColumn, 3);
    EXPECT_EQ(table.parameterValues, (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(table.parameterRows, (std::vector<std::size_t>{0, 3, 5}));
    EXPECT_EQ(table.rowCount, 6u);
    EXPECT_EQ(table.Column(3), nullptr);  // no curve uses it

    // Plotting the parameter itself still records its values.
    std::vector<GraphCurve> overK{Curve("k", "b")};
    ASSERT_EQ(table.Read(uneven, overK).outcome, ReadOutcome::Read);
    EXPECT_EQ(table.parameterValues.size(), 3u);
}

// Columns past 32,767 and 65,535 are where a narrower column key would turn negative or wrap
// back onto the first columns.
TEST(ResultTable, ColumnsFarRightInAWideFileAreReadFromTheirOwnPlace) {
    constexpr int kColumns = 70000;
    std::string text;
    for (int k = 0; k < kColumns; ++k) text += " c" + std::to_string(k);
    for (int row = 0; row < 2; ++row) {
        text += "\n";
        for (int k = 0; k < kColumns; ++k) text += " " + std::to_string(10 * k + row);
    }
    const ScratchDir dir;
    const std::string path = dir.Put("w.PRN", text + "\n");
    std::vector<GraphCurve> curves{Curve("c5", "c40000"), Curve("c5", "c65541")};
    ResultTable table;
    ASSERT_EQ(table.Read(path, curves).outcome, ReadOutcome::Read);
    EXPECT_EQ(curves[1].yIndex, 65541);
    EXPECT_EQ(*table.Column(5), (std::vector<float>{50, 51}));
    EXPECT_EQ(*table.Column(40000), (std::vector<float>{400000, 400001}));
    EXPECT_EQ(*table.Column(65541), (std::vector<float>{655410, 655411}));
}

// The header's reading of such numbers is the core reader's; a graph must then split no branches.
TEST(ResultTable, AParameterColumnNumberOutOfRangeNamesNoColumn) {
    const ScratchDir dir;
    for (const char* number : {"4294967298", "-2", "99999999999999999999"}) {
        const std::string path =
            dir.Put("p.PRN", std::string("PARAMETER: k ") + number + "\na b k\n1 2 7\n2 3 8\n");
        std::vector<GraphCurve> curves{Curve("a", "b")};
        ResultTable table;
        ASSERT_EQ(table.Read(path, curves).outcome, ReadOutcome::Read);
        EXPECT_TRUE(table.parameterValues.empty()) << number;
    }
}
