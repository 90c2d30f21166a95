#include "core/eval/evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/code_builder.h"

namespace {

constexpr double kBig = 1e50;

struct Evaluator : ::testing::Test, testcode::ConsoleCore {
    bool error = false;
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

// The tolerance is relative, so 0, 1e50 and the undefined value must come out exactly.
TEST_F(Evaluator, RealResultsAndErrors) {
    const struct {
        const char* code;
        double value;
        std::string message;  // empty: no error
    } rows[] = {
        // clang-format off
        {"1 0 /", kBig, ""}, {"0 INV", kBig, "Inverse of Zero"},
        {"0 0 /", kUndefinedValue, ""}, {"1e-60 -1e-55 /", kUndefinedValue, ""},  // both zero
        {"? 1 +", kUndefinedValue, ""}, {"1e60 ? +", kBig, ""},  // overflow before undefined
        {"-1e60 1 *", kBig, ""}, {"x -1e50 -", kBig, ""},  // an oversized result is positive
        {"1e-60", 0.0, ""}, {"-2 2.000000001 ^", 4.0, ""},  // within 1e-8 of an integer
        {"-8 1 3 / ^", kBig, "Fractional Power of Negative Number"},
        {"-2 3 ^", -8.0, ""}, {"-2 2 ^", 4.0, ""}, {"0 -1 ^", kBig, ""}, {"0 0 ^", 0.0, ""},
        {"3 3 EQUAL", 0.0, ""}, {"3 4 EQUAL", 1.0, ""}, {"5 3 >", 2.0, ""},
        // A condition of 0 is false, and so is one that a residual would round to 0.
        {"0 1 2 THEN IF", 2.0, ""}, {"-1 1 2 THEN IF", 2.0, ""}, {"1e-60 1 2 THEN IF", 2.0, ""},
        {"1e-40 1 2 THEN IF", 1.0, ""},
        {"0 LN", kBig, "Log of Zero or Negative Number"},
        {"-1 SQRT", kBig, "Square Root of Negative Number"},
        {"0 INV -1 SQRT +", kBig, "Inverse of Zero"},  // the first error wins
        {"-1 SQRT 0 INV +", kBig, "Square Root of Negative Number"},
        {"0 U", 1.0, ""}, {"-1 U", 0.0, ""}, {"j:2", 0.0, ""},  // real mode: the real part
        {"-1 -1 ATAN2", std::atan2(-1.0, -1.0), ""}, {"0.5 ARCCOS", std::acos(0.5), ""},
        {"-0.5 ARCSIN", std::asin(-0.5), ""}, {"1 ARCSIN", std::asin(1.0), ""},
        {"-1 ARCSIN", std::asin(-1.0), ""}, {"-1 ARCCOS", std::acos(-1.0), ""},  // at the ends
        {"51 EXP", kBig, ""}, {"~ 3 ~ 4 ~ * ~", 12.0, ""},  // a warning; deleted nodes skipped
        // clang-format on
    };
    testcode::SetVar(s, "x", 4);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.code);
        EXPECT_NEAR(Eval(r.code), r.value, 1e-11 * std::fabs(r.value));
        EXPECT_EQ(error, !r.message.empty());
        EXPECT_EQ(s.message, r.message);
    }
    EXPECT_EQ(out.find("Error ..."), std::string::npos) << "value errors are not run errors";
}

TEST_F(Evaluator, ExpOverflowWarnsOnceUntilAnExpInRange) {
    EXPECT_EQ(Eval("51 EXP"), kBig);
    EXPECT_EQ(Eval("60 EXP"), kBig);
    EXPECT_EQ(out, "Overflow in EXP\n");
    EXPECT_EQ(Beeps(), 1);

    EXPECT_NEAR(Eval("1 EXP"), std::exp(1.0), 1e-12);
    EXPECT_EQ(Eval("60 EXP 1 +"), kBig);
    EXPECT_EQ(out, "Overflow in EXP\nOverflow in EXP\n") << "an EXP in range clears the report";
    EXPECT_EQ(Eval("10 60.5 ^"), kBig);  // a power computed through EXP shares the report
    EXPECT_EQ(Beeps(), 2);
    EXPECT_FALSE(error);
    EXPECT_EQ(out.find("Error ..."), std::string::npos);
}

TEST_F(Evaluator, BadStackUseIsARunErrorWithTheTail) {
    std::string ones;
    for (int i = 0; i < 50; ++i) ones += "1 ";
    std::string sum = ones;
    for (int i = 0; i < 49; ++i) sum += "+ ";
    EXPECT_EQ(Eval(sum), 50.0);  // fifty values fit
    EXPECT_FALSE(error);

    const std::string premature = "Equation ended prematurely, syntax error ";
    const struct {
        std::string code, message;
        double value;
    } rows[] = {{ones + "1", "Stack Overflow, equation too complex or incorrect", kBig},
                {"1 + +", "Stack underflow, equation incorrect", kBig},
                {"1 IF", "Stack underflow, equation incorrect", kBig},
                {"7 2", premature, 7.0},  // entry 1 is left as it was
                {"1 2 IF", premature, 1.0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.code);
        out.clear();
        const int beeps = Beeps();
        EXPECT_EQ(Eval(r.code), r.value);
        EXPECT_TRUE(error);
        EXPECT_EQ(s.message, r.message);
        EXPECT_EQ(out.rfind(r.message + "\nError ...", 0), 0u) << out;
        EXPECT_GT(Beeps(), beeps);
    }
}

}  // namespace
