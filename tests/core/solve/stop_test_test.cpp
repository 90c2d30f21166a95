#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/base/core_state.h"
#include "core/compiled_fixture.h"
#include "core/solve/newton.h"
#include "core/solve/residuals.h"
#include "core/solve/results.h"

namespace {

// The termination test and the report made from its reason, on a hand-made iteration state:
// two groups, at most 10 iterations, tolerance 1.0E-6.
class StopReasonTest : public ::testing::Test {
   protected:
    StopReasonTest() {
        s.settings.maxIterations = 10;
        s.settings.toleranceExponent = -6;
        s.console.callback = [this](const char* text) { out += text; };
        SolveState& v = s.solve;
        v.groupCount = 2;
        v.groupLast[1] = 2;
        v.groupLast[2] = 5;
        v.stepNumber = 1;
    }
    // One iteration's state: its number, the exponent reached, the groups converged and the
    // largest residual against the one before.
    void Iteration(int iteration, int exponent, int convergedGroups, double largest = 1.0,
                   double previous = 1.0) {
        SolveState& v = s.solve;
        v.iteration = iteration;
        v.toleranceExponentReached = exponent;
        v.lastConvergedGroup = convergedGroups;
        v.largestResidual = largest;
        v.previousLargestResidual = previous;
    }

    CoreState s;
    std::string out;
};

TEST_F(StopReasonTest, EachRuleNamesItsReasonInOrder) {
    struct Case {
        const char* what;
        int iteration, exponent, convergedGroups;
        bool stop, notFound;
        double largest;
        StopReason reason;
    };
    const Case cases[] = {
        {"a stop wins over convergence", 2, -8, 2, true, false, 1.0, StopReason::kStopped},
        {"convergence at the limit", 10, -8, 2, false, false, 1.0, StopReason::kConverged},
        {"limit above tolerance", 10, -3, 0, false, true, 2.0, StopReason::kIterationLimit},
        {"halvings out within tolerance", 10, -8, 1, false, true, 1.0, StopReason::kStepNotReduced},
        {"halvings out before the limit", 3, -3, 0, false, true, 1.0, StopReason::kStepNotReduced},
        {"residual grew", 3, -3, 0, false, false, 2.0, StopReason::kResidualGrew},
        {"equal residual goes on", 3, -3, 0, false, false, 1.0, StopReason::kContinue},
        {"one group short of convergence", 3, -8, 1, false, false, 1.0, StopReason::kContinue},
    };
    for (const Case& c : cases) {
        Iteration(c.iteration, c.exponent, c.convergedGroups, c.largest);
        s.flags.stop = c.stop;
        s.flags.notFound = c.notFound;
        EXPECT_EQ(StopTest(s), c.reason) << c.what;
    }
}

TEST_F(StopReasonTest, GoingOnRemembersTheResidualAndANanIsNeverConverged) {
    Iteration(3, -3, 0, 0.5, 1.0);
    ASSERT_EQ(StopTest(s), StopReason::kContinue);
    EXPECT_EQ(s.solve.previousLargestResidual, 0.5);
    s.solve.largestResidual = 0.6;
    EXPECT_EQ(StopTest(s), StopReason::kResidualGrew);
    // NaN compares false with everything, so "magnitude > norm" never lets it into a norm and
    // the residual exponent of a norm of 0 reads as converged.
    Iteration(3, -8, 2, std::nan(""), 1.0);
    EXPECT_NE(StopTest(s), StopReason::kConverged);
}

TEST_F(StopReasonTest, TheReportSaysWhatTheReasonIs) {
    struct Case {
        StopReason reason;
        const char* text;
        int beeps;
    };
    const Case cases[] = {
        {StopReason::kStopped, "Error in Solution    1\n", 1},
        {StopReason::kConverged, "\nSolution Found!\n", 0},
        {StopReason::kIterationLimit, "Iteration Limit Sol    1", 1},
        {StopReason::kStepNotReduced, "Eqn    5 group failed\n", 0},  // the second group
        {StopReason::kResidualGrew, "Eqn    5 group failed\n", 0},
        {StopReason::kHomotopyFailed, "\n", 0},
        {StopReason::kContinue, "", 0},
    };
    for (const Case& c : cases) {
        out.clear();
        s.defaultShell.beeps = 0;
        s.solve.outcome = c.reason;
        s.solve.lastConvergedGroup = 1;
        // The flags that used to decide the report must not: they say the opposite here.
        s.flags.stop = c.reason != StopReason::kStopped;
        s.solve.toleranceExponentReached = c.reason == StopReason::kConverged ? 0 : -20;
        ReportOutcome(s);
        EXPECT_EQ(out, c.text) << static_cast<int>(c.reason);
        EXPECT_EQ(s.defaultShell.beeps, c.beeps) << static_cast<int>(c.reason);
    }
}

class NanResidual : public CompiledFixture {};

TEST_F(NanResidual, CountsAsTheLargestNumberInItsGroupsNorm) {
    Compile("x = 2;\ny = x + 1;\n");
    SolveState& v = core_.solve;
    v.groupCount = 1;
    v.groupLast[1] = 2;
    v.pivotEquation[1] = 1;
    v.pivotEquation[2] = 2;
    Set("x", 2.0);
    Set("y", std::nan(""));  // the residual of y = x + 1 is NaN, that of x = 2 is 0
    const double norm = EvaluateGroupResiduals(core_, 1);
    EXPECT_EQ(norm, core_.k.largest);
    EXPECT_EQ(v.largestResidualEquation, 2);
    EXPECT_GE(ResidualExponent(core_, norm), core_.settings.toleranceExponent);
}

}  // namespace
