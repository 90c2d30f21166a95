#include "core/eval/evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/code_builder.h"
#include "core/eval/values.h"
#include "core/run/core_state.h"

namespace {

constexpr double kBig = 1e50;

struct Evaluator : ::testing::Test {
    CoreState s;
    std::string out;
    bool error = false;
    Evaluator() { s.console.callback = [this](const char* t) { out += t; }; }
    void TearDown() override { EXPECT_EQ(s.pool.liveCount(), 0u) << "code nodes leaked"; }

    // Evaluates postfix tokens (a ';' is appended) with a fresh message.
    double Eval(const std::string& postfix) {
        s.message.clear();
        CodeNode* list = testcode::Postfix(s, postfix);
        const double v = Evaluate(s, list, error);
        FreeList(s.pool, list);
        return v;
    }
    int Beeps() const { return s.defaultShell.beeps; }
};

struct Row {
    const char* code;
    double value;
    const char* message;  // nullptr: no error
};

// Exact results (special values are compared exactly by design).
TEST_F(Evaluator, RealResultsAndErrors) {
    const Row rows[] = {
        {"1 0 /", kBig, nullptr},
        {"-1 0 /", kBig, nullptr},
        {"0 INV", kBig, "Inverse of Zero"},
        {"1e-51 INV", kBig, "Inverse of Zero"},
        {"4 INV", 0.25, nullptr},
        {"0 0 /", kUndefinedValue, nullptr},
        {"1e-60 -1e-55 /", kUndefinedValue, nullptr},  // both count as zero
        {"? 1 +", kUndefinedValue, nullptr},
        {"0 0 / 1 +", kUndefinedValue, nullptr},
        {"0 0 / 3 *", kUndefinedValue, nullptr},
        {"1e60 ? +", kBig, nullptr},  // overflow is checked before undefined
        {"-1e60 1 *", kBig, nullptr},
        {"1e40 1e20 *", kBig, nullptr},
        {"-1e40 1e20 *", kBig, nullptr},  // an oversized result is made positive
        {"-1e50 2 -", kBig, nullptr},
        {"1e-60", 0.0, nullptr},
        {"-1e-60", 0.0, nullptr},
        {"-8 1 3 / ^", kBig, "Fractional Power of Negative Number"},
        {"-2 2.0000001 ^", kBig, "Fractional Power of Negative Number"},
        {"-2 2.000000001 ^", 4.0, nullptr},  // within 1e-8 of an integer: squared
        {"-2 2 ^", 4.0, nullptr},
        {"3 1 ^", 3.0, nullptr},
        {"4 -1 ^", 0.25, nullptr},
        {"5 0 ^", 1.0, nullptr},
        {"-5 1e-60 ^", 1.0, nullptr},
        {"0 -1 ^", kBig, nullptr},
        {"0 0 ^", 0.0, nullptr},
        {"0 3 ^", 0.0, nullptr},
        {"3 3 EQUAL", 0.0, nullptr},
        {"3 4 EQUAL", 1.0, nullptr},
        {"5 3 >", 2.0, nullptr},
        {"5 3 <", -2.0, nullptr},
        {"1 2 D", 0.0, nullptr},  // no evaluation of its own
        {"0 1 2 THEN IF", 2.0, nullptr},  // a condition of exactly 0 is false
        {"1 1 2 THEN IF", 1.0, nullptr},
        {"-1 1 2 THEN IF", 2.0, nullptr},
        {"1e-60 1 2 THEN IF", 1.0, nullptr},
        {"0 LN", kBig, "Log of Zero or Negative Number"},
        {"-1 LN", kBig, "Log of Zero or Negative Number"},
        {"1 LN", 0.0, nullptr},
        {"-1 SQRT", kBig, "Square Root of Negative Number"},
        {"2 ARCSIN", kBig, "Square Root of Negative Number"},
        {"9 SQRT", 3.0, nullptr},
        {"0 U", 1.0, nullptr},
        {"-1 U", 0.0, nullptr},
        {"1e-300 neg U", 0.0, nullptr},
        {"3 neg", -3.0, nullptr},
        {"3 SQUARE", 9.0, nullptr},
        {"-3 ABS", 3.0, nullptr},
        {"3 REAL", 3.0, nullptr},
        {"3 CONJG", 3.0, nullptr},
        {"3 IMAG", 0.0, nullptr},
        {"3 MAG", 0.0, nullptr},
        {"3 ANGLE", 0.0, nullptr},
        {"j:2", 0.0, nullptr},  // real mode keeps only the real part
        {"0 EXP", 1.0, nullptr},
        {"51 EXP", kBig, nullptr},  // a warning, not an error
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.code);
        EXPECT_EQ(Eval(r.code), r.value);
        EXPECT_EQ(s.eval.stack[1].re, r.value);
        EXPECT_EQ(error, r.message != nullptr);
        EXPECT_EQ(s.message, r.message ? r.message : "");
        EXPECT_EQ(s.eval.sp, 1);
    }
    EXPECT_FALSE(s.flags.runError) << "value errors are not run errors";
}

TEST_F(Evaluator, RealResultsNearExpectedValues) {
    const struct {
        const char* code;
        double value;
    } rows[] = {
        {"-2 3 ^", -8.0},
        {"-2 -2 ^", 0.25},
        {"-2 -3 ^", -0.125},
        {"2 10 ^", 1024.0},
        {"2 0.5 ^", std::sqrt(2.0)},
        {"1 1 ATAN2", std::atan2(1.0, 1.0)},
        {"-1 -1 ATAN2", std::atan2(-1.0, -1.0)},
        {"0.5 ARCSIN", std::asin(0.5)},
        {"0.5 ARCCOS", std::acos(0.5)},
        {"1 ARCSIN", std::asin(1.0)},
        {"1 ARCCOS", 0.0},
        {"0 ARCCOS", kPi / 2},
        {"0.3 ARCTAN", std::atan(0.3)},
        {"0.7 TAN", std::tan(0.7)},
        {"1 EXP", std::exp(1.0)},
        {"50 EXP", std::exp(50.0)},
        {"10 LN", std::log(10.0)},
        {"pi COS", -1.0},
    };
    for (const auto& r : rows) {
        EXPECT_NEAR(Eval(r.code), r.value, 1e-11 * (1 + std::fabs(r.value))) << r.code;
        EXPECT_FALSE(error) << r.code << ": " << s.message;
    }
}

TEST_F(Evaluator, VariablesComeFromTheNameTable) {
    testcode::SetVar(s, "x", 4);
    testcode::SetVar(s, "y", 1);
    EXPECT_EQ(Eval("x 2 y * -"), 2.0);
    testcode::SetVar(s, "x", 1e50);
    EXPECT_EQ(Eval("x 2 y * -"), kBig) << "guarded subtraction, not 1e50 - 2";
    testcode::SetVar(s, "x", -1e50);
    EXPECT_EQ(Eval("x 2 y * -"), kBig);
    EXPECT_FALSE(error);
}

TEST_F(Evaluator, TangentNearItsPoleIsAnError) {
    // No double lies close enough to pi/2 for a cosine below 1e-50, so the threshold is
    // raised to make the pole reachable.
    EXPECT_NEAR(Eval("1.5707963267948966 TAN"), 1.633123935319537e16, 1e3);
    EXPECT_FALSE(error);
    s.k.smallest = 1e-10;
    EXPECT_EQ(Eval("1.5707963267948966 TAN"), kBig);
    EXPECT_TRUE(error);
    EXPECT_EQ(s.message, "Tangent result Near Infinity");
}

TEST_F(Evaluator, ExpOverflowWarnsOnceUntilAnExpInRange) {
    EXPECT_EQ(Eval("51 EXP"), kBig);
    EXPECT_FALSE(error);
    EXPECT_EQ(out, "Overflow in EXP\n");
    EXPECT_EQ(Beeps(), 1);

    EXPECT_EQ(Eval("60 EXP"), kBig);
    EXPECT_EQ(out, "Overflow in EXP\n") << "already reported";
    EXPECT_EQ(Beeps(), 1);

    EXPECT_NEAR(Eval("1 EXP"), std::exp(1.0), 1e-12);
    EXPECT_EQ(Eval("60 EXP 1 +"), kBig);
    EXPECT_EQ(out, "Overflow in EXP\nOverflow in EXP\n") << "an EXP in range clears the report";
    EXPECT_EQ(Beeps(), 2);

    // A power computed through EXP shares the report.
    EXPECT_EQ(Eval("10 60.5 ^"), kBig);
    EXPECT_EQ(Beeps(), 2);
    EXPECT_FALSE(s.flags.runError);
}

TEST_F(Evaluator, FirstErrorWins) {
    EXPECT_EQ(Eval("0 INV -1 SQRT +"), kBig);
    EXPECT_EQ(s.message, "Inverse of Zero");
    EXPECT_EQ(Eval("-1 SQRT 0 INV +"), kBig);
    EXPECT_EQ(s.message, "Square Root of Negative Number");
    EXPECT_EQ(Eval("0 LN -1 SQRT 0 INV + +"), kBig);
    EXPECT_EQ(s.message, "Log of Zero or Negative Number");
    EXPECT_TRUE(error);
    // The next evaluation starts with its flag down.
    EXPECT_EQ(Eval("1 1 +"), 2.0);
    EXPECT_FALSE(error);
}

TEST_F(Evaluator, FiftyValuesFitOnTheStack) {
    std::string code;
    for (int i = 0; i < 50; ++i) code += "1 ";
    for (int i = 0; i < 49; ++i) code += "+ ";
    EXPECT_EQ(Eval(code), 50.0);
    EXPECT_FALSE(error);
    EXPECT_EQ(out, "");
}

TEST_F(Evaluator, StackOverflowIsARunError) {
    std::string code;
    for (int i = 0; i < 51; ++i) code += "2 ";
    EXPECT_EQ(Eval(code), kBig);
    EXPECT_TRUE(error);
    EXPECT_EQ(s.message, "Stack Overflow, equation too complex or incorrect");
    EXPECT_EQ(out.rfind("Stack Overflow, equation too complex or incorrect\nError ...", 0), 0u)
        << out;
    EXPECT_TRUE(s.flags.runError);
    EXPECT_GE(Beeps(), 1);
}

TEST_F(Evaluator, StackUnderflowIsARunError) {
    for (const char* code : {"1 + +", "+", "1 IF"}) {
        SCOPED_TRACE(code);
        out.clear();
        s.flags.runError = false;
        EXPECT_EQ(Eval(code), kBig);
        EXPECT_TRUE(error);
        EXPECT_EQ(s.message, "Stack underflow, equation incorrect");
        EXPECT_EQ(out.rfind("Stack underflow, equation incorrect\nError ...", 0), 0u) << out;
        EXPECT_TRUE(s.flags.runError);
    }
}

TEST_F(Evaluator, LeftoverValuesMeanASyntaxError) {
    EXPECT_EQ(Eval("7 2"), 7.0) << "entry 1 is left as it was";
    EXPECT_TRUE(error);
    EXPECT_EQ(s.message, "Equation ended prematurely, syntax error ");
    EXPECT_EQ(out, "Equation ended prematurely, syntax error \nError ...");
    EXPECT_TRUE(s.flags.runError);
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(s.eval.sp, 2);

    out.clear();
    Eval("1 2 IF");  // the IF leaves nothing
    EXPECT_TRUE(error);
    EXPECT_EQ(s.message, "Equation ended prematurely, syntax error ");
    Eval("");
    EXPECT_TRUE(error);
    EXPECT_EQ(s.eval.sp, 0);
}

TEST_F(Evaluator, DeletedNodesAreSkipped) {
    EXPECT_EQ(Eval("~ 3 ~ 4 ~ * ~"), 12.0);
    EXPECT_FALSE(error);
}

TEST_F(Evaluator, ComplexOperandForms) {
    s.k.complexMode = true;
    testcode::SetVar(s, "x", 3);
    const struct {
        const char* code;
        double re, im;
    } rows[] = {
        {"j:2", 0, 2},
        {"j:x", 0, 3},
        {"@:0.5", std::cos(0.5), std::sin(0.5)},
        {"@:x", std::cos(3.0), std::sin(3.0)},
        {"4", 4, 0},
        {"j:2 1 +", 1, 2},
        {"1 j:2 j:3 THEN IF", 0, 2},  // complex mode copies both parts of the branch
        {"0 j:2 j:3 THEN IF", 0, 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.code);
        Eval(r.code);
        EXPECT_FALSE(error) << s.message;
        EXPECT_NEAR(s.eval.stack[1].re, r.re, 1e-15);
        EXPECT_NEAR(s.eval.stack[1].im, r.im, 1e-15);
    }
}

TEST(GuardedArithmetic, ValueTests) {
    CoreState s;
    const struct {
        double x;
        bool big, tiny, undefined, special;
    } rows[] = {
        {1e50, true, false, false, true},     {-1e50, true, false, false, true},
        {2e50, true, false, false, false},    {1e-50, false, true, false, false},
        {-1e-60, false, true, false, false},  {0.0, false, true, false, false},
        {kUndefinedValue, false, false, true, true}, {1.0, false, false, false, false},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(IsBig(s, r.x), r.big) << r.x;
        EXPECT_EQ(IsTiny(s, r.x), r.tiny) << r.x;
        EXPECT_EQ(IsUndefined(r.x), r.undefined) << r.x;
        EXPECT_EQ(IsSpecial(s, r.x), r.special) << r.x;
    }
}

TEST(GuardedArithmetic, DivisionRulesInOrder) {
    CoreState s;
    const struct {
        double a, b, q;
    } rows[] = {
        {kUndefinedValue, 0, kUndefinedValue}, {1e50, kUndefinedValue, kUndefinedValue},
        {0, 1e-55, kUndefinedValue},           {1e50, 2, 1e50},
        {-1e50, 2, 1e50},                      {2, 0, 1e50},
        {-2, 1e-51, 1e50},                     {1e-51, 2, 0},
        {2, 1e50, 0},                          {6, -3, -2},
    };
    for (const auto& r : rows) EXPECT_EQ(GuardedDiv(s, r.a, r.b), r.q) << r.a << " / " << r.b;
}

TEST(GuardedArithmetic, SumsDifferencesAndProducts) {
    CoreState s;
    const struct {
        double a, b, sum, difference, product;
    } rows[] = {
        {2, 3, 5, -1, 6},
        {1e50, 1, 1e50, 1e50, 1e50},
        {1, -1e50, 1e50, 1e50, 1e50},
        {kUndefinedValue, 2, kUndefinedValue, kUndefinedValue, kUndefinedValue},
        {kUndefinedValue, 1e50, 1e50, 1e50, 1e50},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(GuardedAdd(s, r.a, r.b), r.sum) << r.a << " + " << r.b;
        EXPECT_EQ(GuardedSub(s, r.a, r.b), r.difference) << r.a << " - " << r.b;
        EXPECT_EQ(GuardedMul(s, r.a, r.b), r.product) << r.a << " * " << r.b;
    }
}

}  // namespace
