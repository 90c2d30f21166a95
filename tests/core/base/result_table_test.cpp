// The result table's one writer and one reader: what the writer's cells and lines read back as,
// and the rules every reader shares for the odd files on which separate readers used to differ.

#include "core/base/result_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/data_table.h"

namespace {

std::vector<std::string> AllLines(TableLines& lines) {
    std::vector<std::string> all;
    for (std::string_view line; lines.Next(line);) all.emplace_back(line);
    return all;
}

struct ReadTable {
    ResultTableHead head;
    std::vector<std::vector<std::string>> rows;
    std::vector<int> lines;
};

ReadTable Read(std::string_view text, TableStart start = TableStart::kParameterLineAllowed) {
    TableLines lines(text);
    ResultTableReader reader(lines, start);
    ReadTable t{reader.head(), {}, {}};
    for (std::vector<std::string_view> cells; reader.NextRow(cells);) {
        t.rows.emplace_back(cells.begin(), cells.end());
        t.lines.push_back(reader.lineNumber());
    }
    return t;
}

}  // namespace

TEST(ResultTableWriter, CellsAndTheParameterLineReadBackAsWritten) {
    EXPECT_EQ(ResultNameCell("x"), std::string(14, ' ') + "x");
    EXPECT_EQ(ResultNameCell("a_long_name_past_15"), "a_long_name_past_15");
    EXPECT_EQ(FormatResultValue(0.0), "      0.0000000");
    EXPECT_EQ(FormatResultValue(-2.5), "     -2.5000000");
    // Both ends of the ordinary range go to exponent form.
    EXPECT_EQ(FormatResultValue(123456.0), "   1.234560e+05");
    EXPECT_EQ(FormatResultValue(0.00001), "   1.000000e-05");
    EXPECT_EQ(ResultParameterLine("k", 3), "PARAMETER:         k        3");

    std::string text =
        ResultParameterLine("b", 1) + "\n" + ResultNameCell("a") + ResultNameCell("b") + "\n";
    const double values[][2] = {{0.5, 1.0}, {-123456.0, 1.0}, {1e-7, 2.0}};
    for (const auto& row : values)
        text += FormatResultValue(row[0]) + FormatResultValue(row[1]) + "\n";
    const ReadTable t = Read(text);
    EXPECT_TRUE(t.head.parameterLine);
    EXPECT_EQ(t.head.parameterName, "b");
    EXPECT_EQ(t.head.parameterColumn, 1);
    EXPECT_EQ(t.head.names, (std::vector<std::string>{"a", "b"}));
    ASSERT_EQ(t.rows.size(), 3u);
    for (std::size_t r = 0; r < 3; ++r) {
        EXPECT_DOUBLE_EQ(ResultCellNumber(t.rows[r][0]), values[r][0]);
        EXPECT_DOUBLE_EQ(ResultCellNumber(t.rows[r][1]), values[r][1]);
    }
    EXPECT_EQ(t.lines, (std::vector<int>{3, 4, 5}));
}

TEST(ResultTableReader, ALineWithoutCellsEndsTheTable) {
    for (const char* blank : {"", "   ", " ;\t ", "\t"}) {
        const ReadTable t = Read(std::string("x y\n1 2\n") + blank + "\n3 4\n");
        EXPECT_EQ(t.rows, (std::vector<std::vector<std::string>>{{"1", "2"}})) << '"' << blank;
    }
    // The header is the first line whatever it holds; a short or long row keeps its cells.
    const ReadTable t = Read("\n1 2\n3\n4 5 6");
    EXPECT_TRUE(t.head.names.empty());
    EXPECT_EQ(t.rows, (std::vector<std::vector<std::string>>{{"1", "2"}, {"3"}, {"4", "5", "6"}}));
    EXPECT_TRUE(Read("").head.names.empty());
    EXPECT_TRUE(Read("PARAMETER: k 0").head.names.empty());
    EXPECT_TRUE(Read("x\n").rows.empty());
}

TEST(ResultTableReader, TheParameterLineStatesNameAndColumn) {
    for (const data_table::Row& c : data_table::Read("result_table/parameter_lines", 3)) {
        const ReadTable t = Read(c[0] + "\na b k\n1 2 3\n");
        EXPECT_TRUE(t.head.parameterLine) << c[0];
        EXPECT_EQ(t.head.parameterName, c[1]) << c[0];
        EXPECT_EQ(t.head.parameterColumn, std::stoi(c[2])) << c[0];
        EXPECT_EQ(t.head.names.size(), 3u) << c[0];
        EXPECT_EQ(t.rows.size(), 1u) << c[0];
    }
    // The column is the one the line states, even where the header puts the name elsewhere.
    EXPECT_EQ(Read("PARAMETER: b 2\nt yr yi b\n0 1 2 3\n").head.parameterColumn, 2);
    // Only the first 10 characters, exactly, make a parameter line.
    EXPECT_FALSE(Read(" PARAMETER: k 0\na\n").head.parameterLine);
    EXPECT_FALSE(Read("parameter: k 0\na\n").head.parameterLine);

    // A table that begins with its header takes such a line for the header.
    const ReadTable list = Read("PARAMETER: k 0\n1 2\n", TableStart::kHeader);
    EXPECT_FALSE(list.head.parameterLine);
    EXPECT_EQ(list.head.names, (std::vector<std::string>{"PARAMETER:", "k", "0"}));
    EXPECT_EQ(list.rows.size(), 1u);
}

TEST(ResultTableReader, CellsThatAreNotNumbersAreNaN) {
    for (const data_table::Row& c : data_table::Read("result_cells/numbers")) {
        const double expected = std::stod(c[1]), got = ResultCellNumber(c[0]);
        EXPECT_TRUE(got == expected || (std::isnan(got) && std::isnan(expected)))
            << c[0] << " reads as " << got;
    }
}

TEST(TableLines, EveryLineEndAndTheLastLineWithoutOne) {
    TableLines lines("a\nb\r\nc\rd\r\r\ne\n\nf");
    EXPECT_EQ(AllLines(lines), (std::vector<std::string>{"a", "b", "c", "d", "", "e", "", "f"}));
    TableLines none("");
    EXPECT_TRUE(AllLines(none).empty());
    TableLines oneEnd("\n");
    EXPECT_EQ(AllLines(oneEnd), (std::vector<std::string>{""}));
    // A stream is read only to its bound.
    std::istringstream in("x y\n1 2\n3 4\n5 6\n");
    TableLines bounded(in, 13);  // ends inside "5 6"
    EXPECT_EQ(AllLines(bounded), (std::vector<std::string>{"x y", "1 2", "3 4"}));
    std::istringstream exact("x y\n1 2\n");
    TableLines whole(exact, 8);
    EXPECT_EQ(AllLines(whole), (std::vector<std::string>{"x y", "1 2"}));
}

// A stream is read in pieces: a line, or a CR LF, that spans two of them is still one line.
TEST(TableLines, AStreamGivesTheLinesOfTheSameText) {
    std::mt19937 random(7);
    std::string text;
    const char* const ends[] = {"\n", "\r\n", "\r"};
    while (text.size() < 400000) {
        text += std::string(random() % 3000, static_cast<char>('a' + random() % 26));
        text += ends[random() % 3];
    }
    text += "last";
    TableLines fromText(text);
    std::istringstream in(text);
    TableLines fromStream(in);
    const std::vector<std::string> expected = AllLines(fromText);
    EXPECT_GT(expected.size(), 200u);
    EXPECT_EQ(AllLines(fromStream), expected);
}
