#include "core/eval/evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/base/core_state.h"
#include "core/code_builder.h"
#include "core/data_table.h"

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

TEST_F(Evaluator, RealResultsAndErrors) {
    testcode::SetVar(s, "x", 4);
    for (const data_table::Row& r : data_table::Read("evaluator/real_results", 3)) {
        SCOPED_TRACE(r[0]);
        const double value = std::stod(r[1]);
        EXPECT_NEAR(Eval(r[0]), value, 1e-11 * std::fabs(value));
        EXPECT_EQ(error, !r[2].empty());
        EXPECT_EQ(s.message, r[2]);
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

// Code too deep for the stack is refused when it is flattened (flatten_test).
TEST_F(Evaluator, BadStackUseIsARunErrorWithTheTail) {
    const std::string premature = "Equation ended prematurely, syntax error ";
    const struct {
        std::string code, message;
        double value;
    } rows[] = {{"1 + +", "Stack underflow, equation incorrect", kBig},
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
