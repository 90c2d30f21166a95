#include "core/run/line_cut.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/lang/parser_harness.h"

namespace {

std::string Joined(const std::vector<std::string>& pieces) {
    std::string text;
    for (const std::string& piece : pieces) text += piece + "\n";
    return text;
}

}  // namespace

TEST(CutLine, FallsBackFromBlankToStarPlusMinus) {
    struct Case {
        const char* what;
        std::size_t length;                               // a line of 'x' of this length ...
        std::vector<std::pair<std::size_t, char>> marks;  // ... with these 1-based characters
        std::vector<std::size_t> pieces;                  // lengths of the pieces
    };
    const Case cases[] = {
        {"79 characters stay whole", 79, {}, {79}},
        {"blank before a later star", 120, {{50, ' '}, {78, '*'}}, {50, 70}},
        {"blank at 79", 120, {{79, ' '}}, {79, 41}},
        {"blank at 80 is too far", 120, {{80, ' '}, {60, '*'}}, {60, 60}},
        {"blank at 41", 120, {{41, ' '}, {70, '*'}}, {41, 79}},
        {"blank at 40 is too early", 120, {{40, ' '}, {60, '*'}}, {60, 60}},
        {"star before a later plus", 120, {{50, '*'}, {78, '+'}}, {50, 70}},
        {"plus before a later minus", 120, {{50, '+'}, {78, '-'}}, {50, 70}},
        {"minus as the last resort", 120, {{66, '-'}}, {66, 54}},
        {"E- across column 79 stays whole", 120, {{78, 'E'}, {79, '-'}, {60, '-'}}, {60, 60}},
        {"e- stays whole", 120, {{77, 'e'}, {78, '-'}, {55, '-'}}, {55, 65}},
        {"E+ stays whole", 120, {{77, 'E'}, {78, '+'}, {45, '-'}}, {45, 75}},
        {"a name longer than a line stays whole", 200, {}, {200}},
    };
    for (const Case& c : cases) {
        std::string line(c.length, 'x');
        for (const auto& [pos, ch] : c.marks) line[pos - 1] = ch;
        std::vector<std::size_t> lengths;
        std::string joined;
        for (const std::string& piece : CutLine(line)) {
            lengths.push_back(piece.size());
            joined += piece;
        }
        EXPECT_EQ(lengths, c.pieces) << c.what;
        EXPECT_EQ(joined, line) << c.what;
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
