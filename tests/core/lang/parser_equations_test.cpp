#include <gtest/gtest.h>

#include <string>

#include "core/lang/parser_harness.h"
#include "core/run/random.h"

namespace {

std::string Equations(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "x" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
    return text;
}

}  // namespace

TEST(ParserEquations, CountLineAndDerivativeHeading) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("x = 1;\ny = x + 2;\n"));
    EXPECT_EQ(h.out, "   2 variables and    2 equations \nFinding Derivatives of Equations...\n");
    EXPECT_EQ(h.Beeps(), 0);
    EXPECT_FALSE(h.s.flags.parseError);
}

TEST(ParserEquations, TrailingBlanksAndCommentsAddNoEquation) {
    for (const char* text : {"x = 1;", "x = 1;   \n\n", "x = 1; {done}\n", "x = 1; {a} {b}  "}) {
        ParserHarness h;
        ASSERT_TRUE(h.Compile(text)) << text;
        EXPECT_EQ(h.s.model.count, 1) << text;
    }
    ParserHarness empty;
    ASSERT_TRUE(empty.Compile("{nothing but a comment}\n"));
    EXPECT_EQ(empty.s.model.count, 0);
    EXPECT_EQ(empty.out,
              "   0 variables and    0 equations \nFinding Derivatives of Equations...\n");
}

TEST(ParserEquations, TwentyFiveEquationsFitTheTwentySixthDoesNot) {
    ParserHarness h;
    EXPECT_TRUE(h.Compile(Equations(25))) << h.s.message;
    EXPECT_EQ(h.s.model.count, 25);

    ParserHarness over;
    EXPECT_FALSE(over.Compile(Equations(26)));
    EXPECT_EQ(over.s.message, "Too Many Equations");
}

TEST(ParserEquations, StartingValuesAreDrawnFromTheGuessRange) {
    ParserHarness h;
    h.s.settings.minGuess = 2.0;
    h.s.settings.maxGuess = 3.0;
    ASSERT_TRUE(h.Compile("x + y = 1;\nx - y = 0;"));
    Random expected;  // the harness's generator starts from the same default state
    const double x = 2.0 + expected.unit();
    const double y = 2.0 + expected.unit();
    EXPECT_DOUBLE_EQ(h.Value("x"), x);
    EXPECT_DOUBLE_EQ(h.Value("y"), y);
    for (const char* name : {"x", "y"}) {
        EXPECT_EQ(h.s.names.lowBound[h.Variable(name)], 2.0);
        EXPECT_EQ(h.s.names.highBound[h.Variable(name)], 3.0);
    }
}

TEST(ParserEquations, InitialGuessesAssignAndAreRemoved) {
    ParserHarness h;
    h.s.settings.autoSimplify = false;
    ASSERT_TRUE(h.Compile("a \xBB 1.5;\nx = a + y;\nb \xBB 2*a;\ny = b;\nc \xBB LN(0);\n"));
    EXPECT_EQ(h.s.model.count, 2);
    EXPECT_EQ(h.Code(1), "x a y + -");
    EXPECT_EQ(h.Code(2), "y b -");
    EXPECT_DOUBLE_EQ(h.Value("a"), 1.5);
    EXPECT_DOUBLE_EQ(h.Value("b"), 3.0);
    EXPECT_EQ(h.Value("c"), 0.0);  // the guess failed to evaluate
    for (const char* name : {"a", "b"}) {
        EXPECT_EQ(h.s.names.lowBound[h.Variable(name)], h.Value(name));
        EXPECT_EQ(h.s.names.highBound[h.Variable(name)], h.Value(name));
    }
    EXPECT_EQ(h.s.parser.textOrdinal[2], 4);  // equations keep their place in the text
    EXPECT_EQ(h.out, "   5 variables and    2 equations \nFinding Derivatives of Equations...\n");
}

TEST(ParserEquations, SingleVariableEquationsGiveFirstValues) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("x = 4;\nz = LN(0 - 1);\nx + y = 7;\n"));
    EXPECT_EQ(h.s.model.count, 3);  // the equations stay
    EXPECT_DOUBLE_EQ(h.Value("x"), 4.0);
    EXPECT_EQ(h.Value("z"), 0.5);  // evaluation failed
    const double y = h.Value("y");
    EXPECT_TRUE(y >= 0.1 && y <= 1.0) << y;  // two variables: stays random
}

TEST(ParserEquations, FoldingFollowsTheSimplifySwitch) {
    ParserHarness folded;
    ASSERT_TRUE(folded.Compile("x = 2*3*y + 0;"));
    EXPECT_EQ(folded.Code(1), "x 6 y * -");

    ParserHarness plain;
    plain.s.settings.autoSimplify = false;
    ASSERT_TRUE(plain.Compile("x = 2*3*y + 0;"));
    EXPECT_EQ(plain.Code(1), "x 2 3 * y * 0 + -");

    ParserHarness whole;
    ASSERT_TRUE(whole.Compile("x*1 = 0;"));  // the folder removes the head of the list
    EXPECT_EQ(whole.Code(1), "x");
}

TEST(ParserEquations, ASecondCompileStartsFromEmptyTables) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("a + b + c = 1; a = 2; b = 3;"));
    ASSERT_TRUE(h.Compile("x = 1;"));
    EXPECT_EQ(h.s.model.count, 1);
    EXPECT_EQ(h.s.names.variableCount, 1);
    EXPECT_EQ(h.s.model.eq[2].code, nullptr);
}

TEST(ParserEquations, ReadsTheRestOfTheWorkFileAfterALineAlreadyRead) {
    ParserHarness h;
    h.WriteFile("doc.TMP", "ignored line\nx = 1;\n");
    Assign(h.s.files.work, (h.dir / "doc.TMP").string());
    Reset(h.s.files.work);
    ReadLine(h.s.files.work);
    ParseEquationsComplex(h.s);
    EXPECT_FALSE(h.s.parser.error) << h.s.message;
    EXPECT_EQ(h.s.model.count, 1);
    EXPECT_EQ(h.Code(1), "x 1 -");
}
