#include "core/run/line_cut.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/data_table.h"
#include "core/lang/parser_harness.h"

namespace {

std::string Joined(const std::vector<std::string>& pieces) {
    std::string text;
    for (const std::string& piece : pieces) text += piece + "\n";
    return text;
}

}  // namespace

// The lines and their pieces are tests/data/line_cut/fallbacks.txt.
TEST(CutLine, FallsBackFromBlankToStarPlusMinus) {
    for (const data_table::Row& c : data_table::Read("line_cut/fallbacks", 4)) {
        std::string line(std::stoul(c[1]), 'x');
        std::istringstream marks(c[2]);
        for (std::size_t position; marks >> position;) {
            line[position - 1] = static_cast<char>(marks.get());
            marks.ignore(1, ',');
        }
        std::vector<std::size_t> lengths, expected;
        std::string joined;
        for (const std::string& piece : CutLine(line)) {
            lengths.push_back(piece.size());
            joined += piece;
        }
        std::istringstream pieces(c[3]);
        for (std::size_t length; pieces >> length;) expected.push_back(length);
        EXPECT_EQ(lengths, expected) << c[0];
        EXPECT_EQ(joined, line) << c[0];
    }
}

TEST(CutLine, WhereTheRuleFindsNoPlaceTheCutFallsBetweenTokens) {
    const std::string digits(78, '7');
    const std::string name(90, 'n');
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        // The nearest boundary before the token that passes position 79 ...
        {"x=" + digits + ";", {"x=", digits + ";"}},
        {"x=" + digits.substr(0, 77) + "/y;", {"x=" + digits.substr(0, 77), "/y;"}},
        // ... where a signed number is one token with its sign: not 1^- and 2222.
        {"w=" + std::string(73, '1') + "^-2222;", {"w=" + std::string(73, '1') + "^", "-2222;"}},
        // A token from the start of the line past 79 ends its piece.
        {name + "=1;", {name, "=1;"}},
        {name, {name}},
    };
    for (const auto& [line, pieces] : cases) EXPECT_EQ(CutLine(line), pieces) << line;
}

// Every kind of token, with no blank for the rule to cut at, moved across position 79 by a
// comment of growing length: the cut copy must compile to the code of the uncut line.
TEST(CutLine, ADocumentCompilesTheSameWhateverItsLineLengths) {
    const std::string equation =
        "y=123456789012345678901234567890.5/alpha_long_name_1234567890/2x/3.25\xB0/x^-2/b^-.5"
        "/IF(x>-1.5)THEN(2e+3)ELSE(x)/ATAN2(x,-0.125)/7.5E-7/c/-.5/d^+2/1.5e-3-x*-2.5+e-7;";
    for (std::size_t pad = 0; pad <= 90; ++pad) {
        const std::string line = "{" + std::string(pad, 'c') + "}" + equation;
        ParserHarness whole, cut;
        ASSERT_TRUE(whole.Compile(line + "\n")) << whole.out;
        ASSERT_TRUE(cut.Compile(Joined(CutLine(line)))) << Joined(CutLine(line)) << cut.out;
        EXPECT_EQ(cut.Code(1), whole.Code(1)) << Joined(CutLine(line));
    }
}
