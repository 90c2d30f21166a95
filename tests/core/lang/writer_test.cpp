#include "core/lang/writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "core/eval/values.h"
#include "core/lang/code_string.h"
#include "core/lang/number_text.h"
#include "core/lang/parser_harness.h"

namespace {

// Compiles one statement and writes its equation back: as an expression (WriteCode) or in
// relation form (WriteEquation).
struct Written {
    std::string expression;
    std::string equation;
    std::string console;
};

Written WriteBack(const std::string& text, bool fold = false) {
    ParserHarness h;
    h.s.settings.autoSimplify = fold;
    Written w;
    if (!h.Compile(text)) {
        ADD_FAILURE() << text << ": " << h.s.message;
        return w;
    }
    Equation& eq = h.s.model.eq[1];
    EquationText equation(w.equation);
    WriteEquation(h.s, eq.code, eq.relation, equation, WriterStyle{});
    CodeNode* head = ToPrefix(eq.code);
    EquationText expression(w.expression);
    WriteCode(h.s, head->next, expression, WriterStyle{});
    eq.code = ToPostfix(head);
    w.console = h.out;
    return w;
}

}  // namespace

TEST(Writer, ParenthesesOnlyWherePrecedenceNeedsThem) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"x-(y+z);", "x-(y+z)"},
        {"(x-y)+z;", "x-y+z"},
        {"a*(b+c);", "a*(b+c)"},
        {"(a*b)^2;", "(a*b)^2"},
        {"-(a+b);", "-(a+b)"},
        {"SIN(x);", "SIN(x)"},
        {"a/(b*c);", "a/(b*c)"},
        {"a/b*c;", "a/b*c"},
        {"a^(b^c);", "a^(b^c)"},
        {"(-a)^2;", "(-a)^2"},
        {"-a^2;", "-a^2"},
        {"a*-b;", "a*(-b)"},
        {"x-(y-z);", "x-(y-z)"},
        {"-(-x);", "-(-x)"},
        {"2*x - -3;", "2*x-(-3)"},
        {"ATAN2(x, y+1);", "ATAN2(x,y+1)"},
        {"IF x > 1 THEN a ELSE b;", "(IF(x-1) THEN(a) ELSE(b))"},
        {"IF x < 1 THEN a+1 ELSE -b;", "(IF(-(x-1)) THEN(a+1) ELSE(-b))"},
        {"2*PI*r + ?;", "2*\xF0*r+?"},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(WriteBack(text).expression, expected) << text;
}

TEST(Writer, RelationFormPutsConstantsAndSingleVariablesWhereTheyWereWritten) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"y = 2*x;", "y=2*x; "},           {"3 = x + y;", "x+y=3; "},
        {"x^2 + y = 3;", "x^2+y=3; "},     {"x + y = -2.5;", "x+y=-2.5; "},
        {"x*y = z*w;", "x*y-z*w=0; "},     {"x^2 + y^2;", "x^2+y^2; "},
        {"SIN(x) = 0.5;", "SIN(x)=0.5; "}, {"x > 0.2;", "x>0.2; "},
        {"0.2 > x;", "x<0.2; "},  // the constant moves right: the relation turns round
        {"x + y < z;", "x+y-z<0; "},       {"x*2 = y*3;", "x*2-y*3=0; "},
        {"EXP(x) = y;", "EXP(x)-y=0; "},
    };
    for (const auto& [text, expected] : rows) {
        EXPECT_EQ(WriteBack(text, true).equation, expected) << text;
    }
    // Unfolded, -2.5 is a negation and not a constant: nothing moves.
    EXPECT_EQ(WriteBack("x + y = -2.5;").equation, "x+y-(-2.5)=0; ");
    // x + r = 0 is written -x = r, and an inequality turns with it.
    EXPECT_EQ(WriteBack("x - -y > 0;", true).equation, "-x<y; ");
}

TEST(Writer, ConstantsReadBackAsTheSameDouble) {
    const std::vector<std::pair<double, std::string>> rows = {
        {0.1, "0.1"},
        {1e50, "1E50"},
        {-1.5e-10, "-1.5E-10"},
        {0.0, "0"},
        {100.0, "100"},
        {2e-5, "2E-5"},
        {1.0 / 3.0, "0.3333333333333333"},
        {kUndefinedValue, "?"},
        {-0.0, "-0"},  // ATAN2 and division tell the zeros apart
    };
    for (const auto& [value, text] : rows) EXPECT_EQ(ExactConstant(value), text);
    std::srand(7);
    for (int i = 0; i < 2000; ++i) {
        const double v = (std::rand() / 1024.0 - 1e6) * std::pow(10.0, std::rand() % 80 - 40);
        const std::string text = ExactConstant(v);
        ASSERT_EQ(text.find_first_of("e+"), std::string::npos) << text;
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
    }
}

TEST(Writer, ValuesForPeopleFitTheirWidth) {
    const std::vector<std::tuple<double, int, std::string>> rows = {
        {1e50, 8, "\xDF"},
        {-1e50, 8, "-\xDF"},
        {0.0, 8, "0"},
        {kPi, 8, "\xF0"},
        {kUndefinedValue, 8, "?"},
        {1.4142135623730951, 8, "1.414214"},
        {-2.5, 8, "-2.500000"},
        {123456789.0, 8, "1.2346E8"},  // fixed-point would need 9 characters
        {0.000123456, 8, "1.235E-4"},  // shows one digit more than 0.000123
        {0.00123456, 8, "0.001235"},   // a tie: fixed-point
        {1e-20, 8, "1.00E-20"},
        {12345678.0, 8, "12345678"},
        {99999.99999, 6, "100000"},
        {7.0, 1, "7"},
        {1e-100, 2, "1E-100"},  // nothing fits: one digit, wider than asked
    };
    for (const auto& [value, width, text] : rows) {
        EXPECT_EQ(FormatValue(value, width), text) << value << " in " << width;
    }
    EXPECT_EQ(FormatConstant(-2.5, 8), "-2.5");
    EXPECT_EQ(FormatConstant(1e-20, 8), "1E-20");
    EXPECT_EQ(FormatConstant(100.0, 8), "100");
    EXPECT_EQ(FormatConstant(1.2e5, 8), "120000");
}

TEST(Writer, SpecialConstantsKeepTheirMeaningInEquationText) {
    // The largest value must not come back as the imaginary unit 0xDF.
    EXPECT_EQ(WriteBack("x = 1e50;").equation, "x=1E50; ");
    EXPECT_EQ(WriteBack("x = y + \xDF"
                        "2 - \xDF;")
                  .expression,
              "x-(y+\xDF"
              "2-\xDF"
              "1)");
    CoreState s;
    CodeNode* negative = MakeNode(s.pool, kKindConst, kSubImaginary, 0, -2.0, 0, nullptr);
    EXPECT_EQ(ConstantText(negative, WriterStyle{}),
              "-\xDF"
              "2");
    negative->var = 3;
    EXPECT_EQ(ConstantText(negative, WriterStyle{true, 8, true, 1e50}),
              "\xB0-\xDF"
              "2");
    FreeList(s.pool, negative);
}

TEST(Writer, LongExpressionsBreakAfterOperatorsAndReadBack) {
    std::string text = "y = ";
    for (int i = 1; i <= 20; ++i) text += "x" + std::to_string(i) + "*1.25E-7*rate + ";
    text += "1;";
    const std::string written = WriteBack(text).equation;
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < written.size();) {
        const auto end = written.find('\n', start);
        lines.push_back(written.substr(start, end == std::string::npos ? end : end - start));
        start = end == std::string::npos ? written.size() : end + 1;
    }
    ASSERT_GT(lines.size(), 2u);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 80u) << lines[i];
        EXPECT_GT(lines[i].size(), 68u) << lines[i];
        EXPECT_NE(std::string("=+-) */^(@").find(lines[i].back()), std::string::npos) << lines[i];
    }
    ParserHarness again;
    ASSERT_TRUE(again.Compile(written)) << written;
    EXPECT_EQ(again.s.names.variableCount, 22);
    EXPECT_NE(written.find("1.25E-7"), std::string::npos);
}

TEST(Writer, AnUnfinishedListIsReportedAndWritesNothing) {
    CoreState s;
    std::string console;
    s.console.callback = [&](const char* t) { console += t; };
    s.names.variableCount = 1;
    s.names.name[1] = "x";
    CodeNode* list = MakeNode(s.pool, kKindBinary, '+', 0, 0.0, 0,
                              MakeNode(s.pool, kKindVar, kSubPlain, 1, 0.0, 0, nullptr));
    std::string text;
    EquationText out(text);
    WriteCode(s, list, out, WriterStyle{});
    EXPECT_EQ(text, "");
    EXPECT_NE(console.find("Equation Ended Prematurely\nError ..."), std::string::npos) << console;
    EXPECT_TRUE(s.flags.runError);
    FreeList(s.pool, list);
}

TEST(Writer, GuessesFourToALineAndNamelessVariablesLeftOut) {
    CoreState s;
    std::vector<int> all;
    for (int v = 1; v <= 6; ++v) {
        s.names.name[v] = "v" + std::to_string(v);
        s.names.value[v] = v * 0.5;
        all.push_back(v);
    }
    s.names.name[3].clear();
    s.names.variableCount = 6;
    std::string text;
    EquationText out(text);
    WriteGuesses(s, out, all, true, 8);
    EXPECT_EQ(text,
              "v1\xBB"
              "0.5;  v2\xBB"
              "1;  v4\xBB"
              "2;  v5\xBB"
              "2.5;  \nv6\xBB"
              "3;  \n");
    text.clear();
    out.column = 0;
    s.names.value[1] = 1.0 / 3.0;
    WriteGuesses(s, out, {1}, false, 8);
    EXPECT_EQ(text,
              "v1\xBB"
              "0.333333;  \n");
}
