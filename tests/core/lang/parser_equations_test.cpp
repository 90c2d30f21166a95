#include <gtest/gtest.h>

#include <string>

#include "core/base/random.h"
#include "core/lang/parser_harness.h"

TEST(ParserEquations, CountLineAndTrailingBlanksAndComments) {
    const std::string derivatives = "Finding Derivatives of Equations...\n";
    for (const char* text : {"x = 1;\ny = x;", "x = 1; y = x;   \n\n", "x = 1; y = x; {a} {b} "}) {
        ParserHarness h;
        ASSERT_TRUE(h.Compile(text)) << text;
        EXPECT_EQ(h.s.model.count, 2) << text;
        EXPECT_EQ(h.out, "   2 variables and    2 equations \n" + derivatives);
        EXPECT_EQ(h.s.defaultShell.beeps, 0);
    }
    ParserHarness empty;
    ASSERT_TRUE(empty.Compile("{nothing but a comment}\n"));
    EXPECT_EQ(empty.out, "   0 variables and    0 equations \n" + derivatives);
}

TEST(ParserEquations, StartingValuesComeFromGuessesFirstValuesOrTheGuessRange) {
    ParserHarness h;
    h.s.settings.minGuess = 2.0;
    h.s.settings.maxGuess = 3.0;
    ASSERT_TRUE(
        h.Compile("x + y = a;\na \xBB 1.5;\nb \xBB 2*a;\nz = 4;\nw = LN(0 - 1);\n"
                  "c \xBB LN(0);\ny - x = b;\n"));
    EXPECT_EQ(h.s.model.count, 4);  // guesses are removed, single-variable equations stay
    EXPECT_EQ(h.Code(4), "y x - b -");
    EXPECT_EQ(h.s.parser.textOrdinal[2], 4);  // equations keep their place in the text
    Random expected;  // the harness's generator starts from the same default state
    EXPECT_DOUBLE_EQ(h.Value("x"), 2.0 + expected.unit());
    EXPECT_DOUBLE_EQ(h.Value("y"), 2.0 + expected.unit());
    EXPECT_EQ(h.s.names.lowBound[h.Variable("x")], 2.0);
    EXPECT_EQ(h.s.names.highBound[h.Variable("y")], 3.0);
    EXPECT_DOUBLE_EQ(h.Value("a"), 1.5);
    EXPECT_DOUBLE_EQ(h.Value("b"), 3.0);
    EXPECT_EQ(h.s.names.lowBound[h.Variable("b")], 3.0);  // a guess fixes both bounds
    EXPECT_EQ(h.s.names.highBound[h.Variable("b")], 3.0);
    EXPECT_EQ(h.Value("c"), 0.0);  // the guess failed to evaluate
    EXPECT_DOUBLE_EQ(h.Value("z"), 4.0);
    EXPECT_EQ(h.Value("w"), 0.5);  // the first value failed to evaluate
}

TEST(ParserEquations, FoldingFollowsTheSimplifySwitch) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("x = 2*3*y + 0;"));
    EXPECT_EQ(h.Code(1), "x 2 3 * y * 0 + -");
    h.s.settings.autoSimplify = true;
    ASSERT_TRUE(h.Compile("x = 2*3*y + 0;"));
    EXPECT_EQ(h.Code(1), "x 6 y * -");
    ASSERT_TRUE(h.Compile("x*1 = 0;"));  // the folder removes the head of the list
    EXPECT_EQ(h.Code(1), "x");
}
