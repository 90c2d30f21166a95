#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/eval/values.h"
#include "core/lang/parser_harness.h"

namespace {

struct ShapeCase {
    const char* text;
    const char* code;  // evaluation form of equation 1, see ParserHarness::Code
};

void ExpectShapes(const std::vector<ShapeCase>& cases) {
    for (const ShapeCase& c : cases) {
        ParserHarness h;
        h.s.settings.autoSimplify = false;
        ASSERT_TRUE(h.Compile(c.text)) << c.text << ": " << h.s.message;
        EXPECT_EQ(h.Code(1), c.code) << c.text;
    }
}

// Value of the only constant of "x = <number>;".
double NumberValue(const std::string& number) {
    ParserHarness h;
    h.s.settings.autoSimplify = false;
    EXPECT_TRUE(h.Compile("x = " + number + ";")) << number << ": " << h.s.message;
    const CodeNode* n = h.s.model.eq[1].code;
    while (n != nullptr && n->kind != kKindConst) n = n->next;
    return n ? n->value : -1.0;
}

}  // namespace

TEST(ParserGrammar, PrecedenceAndAssociativity) {
    ExpectShapes({
        {"x = 2y;", "x 2 y * -"},
        {"x = 2(y+1);", "x 2 y 1 + * -"},
        {"x = 2 (y+1);", "x 2 y 1 + * -"},
        {"x = y(z+1);", "x y z 1 + * -"},
        {"x = -y^2;", "x y 2 ^ neg -"},
        {"x = a^b^c;", "x a b ^ c ^ -"},
        {"x = a*-b*c;", "x a b c * neg * -"},
        {"x = a - b - c;", "x a b - c - -"},
        {"x = a/b/c;", "x a b / c / -"},
        {"x = a + b*c;", "x a b c * + -"},
        {"x = +y;", "x y -"},
        {"x = (a + b)*c;", "x a b + c * -"},
        {"x = a^-2;", "x a -2 ^ -"},
        {"x = -(a + b)^2;", "x a b + 2 ^ neg -"},
        {"x = a*-(b + c)^2;", "x a b c + neg 2 ^ * -"},
        {"x;", "x"},
    });
}

TEST(ParserGrammar, FunctionsConstantsAndNames) {
    ExpectShapes({
        {"x = sin(y);", "x sin y * -"},  // only capitals name functions
        {"x = SIN(y)^2;", "x y SIN 2 ^ -"},
        {"x = SIN y + 1;", "x y 1 + SIN -"},
        {"x = SIN (y);", "x y SIN -"},
        {"x = ATAN2(y, z);", "x y z ATAN2 -"},
        {"x = ATAN2 y, z;", "x y z ATAN2 -"},
        {"x = EQUAL(a, b);", "x a b EQUAL -"},
        {"x = U(y);", "x y U -"},
        {"x = PI;", "x pi -"},
        {"x = \xF0;", "x pi -"},
        {"x = PI(y);", "x pi y * -"},
        {"x = ?;", "x ? -"},
        {"x = [a]' + b_2;", "x [a]' b_2 + -"},
    });
}

TEST(ParserGrammar, MissingParenthesisAfterFunctionArgumentConsumesNextCharacter) {
    ExpectShapes({
        {"x = SIN(y;;", "x y SIN -"},
        {"x = SIN(y 2;", "x y SIN -"},
        {"x = ATAN2(y, z w;", "x y z ATAN2 -"},
    });
}

TEST(ParserGrammar, TextInsideParenthesesIsSkippedUpToTheClosingOne) {
    ExpectShapes({{"x = (y z) + 1;", "x y 1 + -"}});
}

TEST(ParserGrammar, RelationsAndIfThenElse) {
    struct Case {
        const char* text;
        const char* code;
        unsigned char relation;
    };
    const std::vector<Case> cases = {
        {"x = 1;", "x 1 -", '='},
        {"x < 1;", "x 1 -", '<'},
        {"x > 1;", "x 1 -", '>'},
        {"x \x85 1;", "x 1 -", 0x85},
        {"x \xF2 1;", "x 1 -", 0xF2},
        {"x \xF3 1;", "x 1 -", 0xF3},
        {"x + 1;", "x 1 +", ' '},
        {"x = (y < 1);", "x y 1 - neg -", '='},
        {"x = (y > 1);", "x y 1 - -", '='},
        {"x = IF y > 1 THEN a ELSE b;", "x y 1 - a b THEN IF -", '='},
        {"x = IF y < 1 THEN a ELSE b;", "x y 1 - neg a b THEN IF -", '='},
        {"x = IF y \xF3 1 THEN a ELSE b;", "x y 1 - neg a b THEN IF -", '='},
        {"x = IF y > 1 THEN (IF y > 2 THEN a ELSE b) ELSE c + 1;",
         "x y 1 - y 2 - a b THEN IF c 1 + THEN IF -", '='},
    };
    for (const Case& c : cases) {
        ParserHarness h;
        h.s.settings.autoSimplify = false;
        ASSERT_TRUE(h.Compile(c.text)) << c.text << ": " << h.s.message;
        EXPECT_EQ(h.Code(1), c.code) << c.text;
        EXPECT_EQ(h.s.model.eq[1].relation, c.relation) << c.text;
    }
}

TEST(ParserGrammar, ByteF3IsARelationOnlyWhereAnOperandHasEnded) {
    ExpectShapes({
        {"x\xF3 = 1;", "x\xF3 1 -"},  // touching a name: part of it
        {"\xF3 = 1;", "\xF3 1 -"},    // where an operand begins: a letter
        {"x = \xF3"
         "a;",
         "x \xF3"
         "a -"},                  // likewise after an operator
        {"2\xF3x;", "2 x -"},     // after a number: the relation, no product
        {"(x)\xF3 y;", "x y -"},  // after ')'
        {"x \xF3y;", "x y -"},    // after a name and a blank
    });
}

TEST(ParserGrammar, AngleOperatorAndImaginaryUnit) {
    ExpectShapes({
        {"x = y@z;", "x y z COS j1 z SIN * + * -"},
        {"x = y@z^2;", "x y z 2 ^ COS j1 z 2 ^ SIN * + * -"},
        {"x = \xDF;", "x j1 -"},
        {"x = \xDF"
         "2.5;",
         "x j2.5 -"},
        {"x = \xDF"
         "2y;",
         "x j2 y * -"},
    });
    ParserHarness h;
    ASSERT_TRUE(h.Compile("x = y@z;"));
    EXPECT_TRUE(h.s.parser.complexConstant);
    ParserHarness plain;
    ASSERT_TRUE(plain.Compile("x = y*z;"));
    EXPECT_FALSE(plain.s.parser.complexConstant);
}

TEST(ParserGrammar, NumbersAreNormalisedAndTakeSuffixes) {
    EXPECT_DOUBLE_EQ(NumberValue(".5"), 0.5);
    EXPECT_DOUBLE_EQ(NumberValue("5."), 5.0);
    EXPECT_DOUBLE_EQ(NumberValue("5.e3"), 5000.0);
    EXPECT_DOUBLE_EQ(NumberValue("1.5E-3"), 0.0015);
    EXPECT_DOUBLE_EQ(NumberValue("2e+2"), 200.0);
    EXPECT_NEAR(NumberValue("30\xB0"), 0.5235987756, 1e-10);
    EXPECT_NEAR(NumberValue("2\xF0"), 2 * kPi, 1e-12);
    EXPECT_NEAR(NumberValue("180\xB0\xF0"), kPi * kPi, 1e-9);
}

TEST(ParserGrammar, NumberTextNormalisation) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {".5", "0.5"},   {"5.", "5.0"}, {"5.e3", "5.0e3"},
        {"-.5", "-0.5"}, {"12", "12"},  {".", "0.0"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(NormaliseNumber(in), out) << in;
    double v = 0;
    EXPECT_TRUE(ConvertNumber("+5", v));
    EXPECT_EQ(v, 5.0);
    for (const char* bad : {"+", "1e", "1e+", "2E"}) EXPECT_FALSE(ConvertNumber(bad, v)) << bad;
}

TEST(ParserGrammar, RejectedTextsGiveTheirMessages) {
    struct Case {
        std::string text;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"x = (y + 1;", "Error: \")\" expected"},
        {"x = $;", "Illegal Character #36"},
        {"x = ;", "Illegal Character #59"},
        {std::string("x = \0;", 6), "Illegal Character #0"},
        {"x = IF y > 1 a ELSE b;", "THEN expected"},
        {"x = IF y > 1 THEN a b;", "ELSE expected"},
        {"x = ATAN2(y; z);", "Comma expected"},
        {"x = 2e;", "Numeric Format Error"},
        {"x = 2 y;", " Error: \";\" expected"},  // a name after a blank is no factor
        {"x = y*+;", "Numeric Format Error"},
        {"x = y = z;", " Error: \";\" expected"},
        {"x = 1", " Error: \";\" expected"},
        {"x = \xB0 y;", "Numeric Format Error"},
        {"x = \xA2;", "Illegal Character #162"},
        {"x = $ + (;", "Illegal Character #36"},  // the first error wins
    };
    for (const Case& c : cases) {
        ParserHarness h;
        EXPECT_FALSE(h.Compile(c.text)) << c.text;
        EXPECT_EQ(h.s.message, c.message) << c.text;
        EXPECT_TRUE(h.s.flags.parseError) << c.text;
    }
}

TEST(ParserGrammar, RejectionIsReportedWithItsPosition) {
    ParserHarness h;
    EXPECT_FALSE(h.Compile("x = $;"));
    EXPECT_EQ(h.s.parser.errorPosition, 5);
    EXPECT_EQ(h.out, "\nIllegal Character #36 at character 5\n");
    EXPECT_EQ(h.Beeps(), 1);

    ParserHarness semicolon;
    EXPECT_FALSE(semicolon.Compile("x = 1;\ny = 1 z;"));
    EXPECT_EQ(semicolon.out, "Char z\n Error: \";\" expected at character 14\n");
    EXPECT_EQ(semicolon.s.model.count, 2);
}

TEST(ParserGrammar, DeepNestingIsRefusedNotOverflowed) {
    const std::string deep(5000, '(');
    const std::vector<std::string> texts = {
        "x = " + deep + "y;",
        "x = a*" + std::string(5000, '-') + "b;",
        [] {
            std::string t = "x = a";
            for (int i = 0; i < 5000; ++i) t += "@a";
            return t + ";";
        }(),
        [] {
            std::string t = "x = ";
            for (int i = 0; i < 5000; ++i) t += "SIN ";
            return t + "y;";
        }(),
    };
    for (const std::string& text : texts) {
        ParserHarness h;
        EXPECT_FALSE(h.Compile(text));
        EXPECT_EQ(h.s.message, "Expression Nested Too Deeply");
    }
    ParserHarness fine;
    EXPECT_TRUE(fine.Compile("x = " + std::string(150, '(') + "y" + std::string(150, ')') + ";"))
        << fine.s.message;
}

TEST(ParserGrammar, ArbitraryBytesAreRejectedWithoutFault) {
    std::string junk;
    unsigned state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        junk += static_cast<char>((state >> 16) & 0xFF);
    }
    ParserHarness h;
    EXPECT_FALSE(h.Compile(junk));
    EXPECT_TRUE(h.s.flags.parseError);
}

TEST(ParserGrammar, OverlongEquationIsRefusedButLongOnesCompile) {
    std::string longSum = "x = 1";
    for (int i = 0; i < 2000; ++i) longSum += " + y";
    ParserHarness fine;
    EXPECT_TRUE(fine.Compile(longSum + ";")) << fine.s.message;

    std::string tooLong = "x = 1";
    for (int i = 0; i < 6000; ++i) tooLong += " + y";
    ParserHarness h;
    EXPECT_FALSE(h.Compile(tooLong + ";"));
    EXPECT_EQ(h.s.message, "Equation Too Long");
}
