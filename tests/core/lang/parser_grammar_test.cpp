#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "core/lang/parser_harness.h"

namespace {

std::string Repeat(const std::string& part, int count) {
    std::string text;
    while (count-- > 0) text += part;
    return text;
}

}  // namespace

TEST(ParserGrammar, OperatorsProductsAndNumbers) {
    ExpectOutcomes({
        {"x = 2y;", "x 2 y * -"},                  {"x = y(z+1);", "x y z 1 + * -"},
        {"x = 2(y+1) + 2 (y+1);", "x 2 y 1 + * 2 y 1 + * + -"},
        {"x = -y^2;", "x y 2 ^ neg -"},            {"x = a^b^c;", "x a b ^ c ^ -"},
        {"x = a*-b*c;", "x a b c * neg * -"},      {"x = +y^-2;", "x y -2 ^ -"},
        {"x = a*-(b + c)^2;", "x a b c + neg 2 ^ * -"},
        {"x = a - b - c + b*c;", "x a b - c - b c * + -"},
        {"x = (y z) + 1;", "x y 1 + -"},  // text inside parentheses skipped to the ')'
        {"x = .5 + 5. + 5.e3 + 1.5E-3;", "x 0.5 5 + 5000 + 0.0015 + -"},
        {"x = 30\xB0 + 2\xF0 + 180\xB0\xF0;", "x 0.5235987756 6.283185307 + 9.869604401 + -"},
        {"{first} x\t=\r\n\xB1 1\xB2;\xDB } {tail}\n  {more}", "x 1 -"},  // blanks, comments
    });
}

TEST(ParserGrammar, FunctionsConstantsAndNames) {
    ExpectOutcomes({
        {"x = sin(y) + Sin(y);", "x sin y * Sin y * + -"},  // only capitals name functions
        {"x = SIN(y)^2 + SIN y + 1;", "x y SIN 2 ^ y 1 + SIN + -"},
        {"x = ATAN2(y, z) + ATAN2 y, z;", "x y z ATAN2 y z ATAN2 + -"},
        // A missing ')' after a function argument consumes the next character.
        {"x = SIN(y;;", "x y SIN -"},              {"x = ATAN2(y, z w;", "x y z ATAN2 -"},
        {"x = PI + \xF0 + ? + PI(y);", "x pi pi + ? + pi y * + -"},
        {"x = [a]' + b_2 + \xE1;", "x [a]' b_2 + \xE1 + -"},
        {"x = y@z;", "x y z COS j:1 z SIN * + * -"},
        {"x = \xDF + \xDF" "2.5 + \xDF" "2y;", "x j:1 j:2.5 + j:2 y * + -"},
    });
}

TEST(ParserGrammar, RelationsAndIfThenElse) {
    // {text, evaluation form, relation byte of the equation}
    const std::tuple<const char*, const char*, int> cases[] = {
        {"x = 1;", "x 1 -", '='},       {"x < 1;", "x 1 -", '<'},
        {"x > 1;", "x 1 -", '>'},       {"x \x85 1;", "x 1 -", 0x85},
        {"x \xF2 1;", "x 1 -", 0xF2},   {"x + 1;", "x 1 +", ' '},
        {"x = (y < 1) + (y > 1);", "x y 1 - neg y 1 - + -", '='},
        {"x = IF y < 1 THEN a ELSE b;", "x y 1 - neg a b THEN IF -", '='},
        {"x = IF y \xF3 1 THEN (IF y > 2 THEN a ELSE b) ELSE c + 1;",
         "x y 1 - neg y 2 - a b THEN IF c 1 + THEN IF -", '='},
        // 0xF3 is a relation only where an operand has ended: after a number, ')' or blank.
        {"x\xF3 = \xF3" "a;", "x\xF3 \xF3" "a -", '='}, {"2\xF3x;", "2 x -", 0xF3},
        {"(x)\xF3 y;", "x y -", 0xF3},                    {"x \xF3y;", "x y -", 0xF3},
    };
    for (const auto& [text, code, relation] : cases) {
        ParserHarness h;
        ASSERT_TRUE(h.Compile(text)) << text << ": " << h.s.message;
        EXPECT_EQ(h.Code(1), code) << text;
        EXPECT_EQ(h.s.model.eq[1].relation, relation) << text;
    }
}

TEST(ParserGrammar, RefusedTextsGiveTheirMessages) {
    ExpectOutcomes({
        {"x = (y + 1;", "Error: \")\" expected"},     {"x = $;", "Illegal Character #36"},
        {"x = ;", "Illegal Character #59"},         {"x = \xA2;", "Illegal Character #162"},
        {std::string("x = \0;", 6), "Illegal Character #0"},
        {"x = IF y > 1 a ELSE b;", "THEN expected"}, {"x = IF y > 1 THEN a b;", "ELSE expected"},
        {"x = ATAN2(y; z);", "Comma expected"},     {"x = 2e;", "Numeric Format Error"},
        {"x = y*+;", "Numeric Format Error"},       {"x = \xB0 y;", "Numeric Format Error"},
        {"x = 2 y;", " Error: \";\" expected"},      // a name after a blank is no factor
        {"ab{c}d = 1;", " Error: \";\" expected"},   {"x = y = z;", " Error: \";\" expected"},
        {"x = 1", " Error: \";\" expected"},
        {"x = " + Repeat("(", 5000) + "y;", "Expression Nested Too Deeply"},
        {"x = a*" + Repeat("-", 5000) + "b;", "Expression Nested Too Deeply"},
        {"x = a" + Repeat("@a", 5000) + ";", "Expression Nested Too Deeply"},
        {"x = " + Repeat("SIN ", 5000) + "y;", "Expression Nested Too Deeply"},
        {"x = 1" + Repeat(" + y", 6000) + ";", "Equation Too Long"},
        {"x = " + Repeat("(", 150) + "y" + Repeat(")", 150) + ";", "x y -"},
        {"x = 1" + Repeat(" + 0", 2000) + ";", "x 1" + Repeat(" 0 +", 2000) + " -"},
    });
}

TEST(ParserGrammar, RefusalIsReportedWithItsPosition) {
    ParserHarness h;
    EXPECT_FALSE(h.Compile("x = $ + (;"));  // the first error wins
    EXPECT_TRUE(h.s.flags.parseError);
    EXPECT_EQ(h.s.parser.errorPosition, 5);
    EXPECT_EQ(h.out, "\nIllegal Character #36 at character 5\n");
    EXPECT_EQ(h.s.defaultShell.beeps, 1);

    ParserHarness second;
    EXPECT_FALSE(second.Compile("x = 1;\ny = 1 z;"));
    EXPECT_EQ(second.out, "Char z\n Error: \";\" expected at character 14\n");
    EXPECT_EQ(second.s.model.count, 2);
}
