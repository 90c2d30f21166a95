#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/lang/parser_harness.h"

TEST(ComplexScan, SortsEquationsIntoRealAndComplex) {
    for (const data_table::Row& row : data_table::Read("complex_scan/equations", 3)) {
        const std::string& text = row[0];
        const bool real = row[1] == "1";
        std::vector<std::string> realNames;
        std::istringstream names(row[2]);
        for (std::string name; names >> name;) realNames.push_back(name);
        ParserHarness h;
        ASSERT_TRUE(h.Compile(text)) << text;  // a real compile: no scan yet
        ComplexScan(h.s);
        EXPECT_EQ(h.s.parser.foundReal[1], real) << text;
        EXPECT_EQ(h.s.model.eq[1].complex, !real) << text;
        EXPECT_EQ(h.s.names.realNames, realNames) << text;
    }
}

TEST(ParserComplex, EquationsAreSplitOverRectangularOrPolarPairsWithLongNamesAndGuesses) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("x = 5;\nz = x*\xDF;\n", true)) << h.s.message;
    EXPECT_EQ(h.s.k.arithmetic, Arithmetic::kComplex);  // restored
    ASSERT_EQ(h.s.model.count, 3);
    EXPECT_EQ(h.Code(1), "x 5 -");
    EXPECT_EQ(h.Code(2), "zr j:zi + x j:1 * -");
    EXPECT_EQ(h.Code(3), "zr j:zi + x j:1 * - j:1 *");
    EXPECT_FALSE(h.s.model.eq[1].complex);
    EXPECT_TRUE(h.s.model.eq[2].complex && h.s.model.eq[3].complex);
    EXPECT_EQ(h.s.model.eq[3].relation, '=');
    EXPECT_EQ(h.s.names.realNames, std::vector<std::string>{"x"});
    EXPECT_EQ(h.s.names.variableCount, 3);

    ASSERT_TRUE(h.Compile("v\x9F = 2*\xDF;", true)) << h.s.message;  // magnitude and angle
    EXPECT_EQ(h.Code(1), "v\xF1 v\xB0 COS * j:v\xF1 v\xB0 SIN * + 2 j:1 * -");
    EXPECT_EQ(h.s.names.variableCount, 2);

    // Long names, designation and guesses.
    ASSERT_TRUE(h.Compile("\xA2longname = 1 + \xDF;", true)) << h.s.message;
    EXPECT_EQ(h.s.names.name[1], "longnamr");
    EXPECT_EQ(h.s.names.name[2], "longnami");
    ASSERT_EQ(h.s.model.count, 2);
    EXPECT_EQ(h.s.model.eq[1].designated, 1);  // both halves designate the real part
    EXPECT_EQ(h.s.model.eq[2].designated, 1);

    ASSERT_TRUE(h.Compile("z \xBB 3;\nz = 2*\xDF;\n", true)) << h.s.message;
    EXPECT_EQ(h.s.model.count, 2);  // the guess is not split
    EXPECT_DOUBLE_EQ(h.Value("zr"), 3.0);
}

TEST(ParserComplex, SplittingCountsTowardTheEquationLimit) {
    std::string text;
    for (int i = 1; i <= 13; ++i) text += "z + " + std::to_string(i) + " = \xDF;";
    ParserHarness h;
    EXPECT_FALSE(h.Compile(text, true));
    EXPECT_EQ(h.s.message, "Too Many Equations");
    EXPECT_EQ(h.s.k.arithmetic, Arithmetic::kComplex);

    ASSERT_TRUE(h.Compile("z = 1 + \xDF;"));  // real mode keeps one equation
    EXPECT_EQ(h.s.model.count, 1);
    EXPECT_EQ(h.s.k.arithmetic, Arithmetic::kReal);
}
