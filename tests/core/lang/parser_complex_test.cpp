#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/lang/parser_harness.h"

namespace {

bool IsReal(const ParserHarness& h, const std::string& name) {
    const auto& real = h.s.names.realNames;
    return std::find(real.begin(), real.end(), name) != real.end();
}

}  // namespace

TEST(ComplexScan, SortsEquationsIntoRealAndComplex) {
    struct Case {
        const char* text;
        bool real;
        const char* realVariable;  // "" when none is added
    };
    const std::vector<Case> cases = {
        {"x = 5;", true, "x"},        {"5 = x;", true, "x"},
        {"x = REAL(z);", true, "x"},  {"MAG(z) = ANGLE(w);", true, ""},
        {"x = 1 + \xDF;", false, ""}, {"x + y = 1;", false, ""},
        {"x = y;", false, ""},        {"IMAG(z);", true, ""},
    };
    for (const Case& c : cases) {
        ParserHarness h;
        h.s.settings.autoSimplify = false;
        ASSERT_TRUE(h.Compile(c.text)) << c.text;  // a real compile: no scan yet
        ComplexScan(h.s);
        EXPECT_EQ(h.s.parser.foundReal[1], c.real) << c.text;
        EXPECT_EQ(h.s.model.eq[1].complex, !c.real) << c.text;
        const std::vector<std::string> expected =
            *c.realVariable ? std::vector<std::string>{c.realVariable} : std::vector<std::string>{};
        EXPECT_EQ(h.s.names.realNames, expected) << c.text;
    }
}

TEST(ParserComplex, ComplexEquationsAreSplitOverRectangularPairs) {
    ParserHarness h;
    h.s.settings.autoSimplify = false;
    ASSERT_TRUE(h.Compile("x = 5;\nz = x*\xDF;\n", true)) << h.s.message;
    EXPECT_TRUE(h.s.k.complexMode);  // restored
    ASSERT_EQ(h.s.model.count, 3);
    EXPECT_EQ(h.Code(1), "x 5 -");
    EXPECT_EQ(h.Code(2), "zr j*zi + x j1 * -");
    EXPECT_EQ(h.Code(3), "zr j*zi + x j1 * - j1 *");
    EXPECT_FALSE(h.s.model.eq[1].complex);
    EXPECT_TRUE(h.s.model.eq[2].complex);
    EXPECT_TRUE(h.s.model.eq[3].complex);
    EXPECT_EQ(h.s.model.eq[3].relation, '=');
    EXPECT_TRUE(IsReal(h, "x"));
    EXPECT_EQ(h.s.names.variableCount, 3);
    // Both passes report their counts.
    EXPECT_EQ(h.out,
              "   2 variables and    2 equations \nFinding Derivatives of Equations...\n"
              "   3 variables and    3 equations \nFinding Derivatives of Equations...\n");
}

TEST(ParserComplex, PolarNamesGiveMagnitudeAndAngle) {
    ParserHarness h;
    h.s.settings.autoSimplify = false;
    ASSERT_TRUE(h.Compile("v\x9F = 2*\xDF;", true)) << h.s.message;
    ASSERT_EQ(h.s.model.count, 2);
    EXPECT_EQ(h.Code(1), "v\xF1 v\xB0 COS * j*v\xF1 v\xB0 SIN * + 2 j1 * -");
    EXPECT_EQ(h.s.names.variableCount, 2);
}

TEST(ParserComplex, LongNamesKeepTwoDistinctHalves) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("longname = \xDF;", true)) << h.s.message;
    ASSERT_EQ(h.s.names.variableCount, 2);
    EXPECT_EQ(h.s.names.name[1], "longnamr");
    EXPECT_EQ(h.s.names.name[2], "longnami");
}

TEST(ParserComplex, DesignationMarksTheFirstHalf) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("\xA2z = 1 + \xDF;", true)) << h.s.message;
    ASSERT_EQ(h.s.model.count, 2);
    EXPECT_EQ(h.s.model.eq[1].designated, h.Variable("zr"));
    EXPECT_EQ(h.s.model.eq[2].designated, h.Variable("zr"));
}

TEST(ParserComplex, GuessesAreNotSplitAndSetTheRealHalf) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("z \xBB 3;\nz = 2*\xDF;\n", true)) << h.s.message;
    EXPECT_EQ(h.s.model.count, 2);
    EXPECT_DOUBLE_EQ(h.Value("zr"), 3.0);
}

TEST(ParserComplex, SplittingCountsTowardTheEquationLimit) {
    std::string text;
    for (int i = 1; i <= 13; ++i) text += "z + " + std::to_string(i) + " = \xDF;";
    ParserHarness h;
    EXPECT_FALSE(h.Compile(text, true));
    EXPECT_EQ(h.s.message, "Too Many Equations");
    EXPECT_TRUE(h.s.k.complexMode);
}

TEST(ParserComplex, RealModeKeepsComplexConstantsInOneEquation) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("z = 1 + \xDF;"));
    EXPECT_EQ(h.s.model.count, 1);
    EXPECT_TRUE(h.s.parser.complexConstant);
    EXPECT_FALSE(h.s.k.complexMode);
}
