#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "core/base/core_state.h"
#include "core/compiled_fixture.h"
#include "core/data_table.h"
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

// A reason by its name in the data tables, in the order of the enumeration.
StopReason Reason(const std::string& name) {
    const std::string names[] = {"continue",        "stopped",          "converged",
                                 "iteration limit", "step not reduced", "residual grew",
                                 "homotopy failed"};
    const auto at = std::find(std::begin(names), std::end(names), name);
    EXPECT_NE(at, std::end(names)) << name;
    return static_cast<StopReason>(at - std::begin(names));
}

TEST_F(StopReasonTest, EachRuleNamesItsReasonInOrderAndGoingOnRemembersTheResidual) {
    for (const data_table::Row& c : data_table::Read("stop_reasons/rules", 8)) {
        Iteration(std::stoi(c[1]), std::stoi(c[2]), std::stoi(c[3]), std::stod(c[6]));
        s.flags.stop = c[4] == "1";
        s.flags.notFound = c[5] == "1";
        EXPECT_EQ(StopTest(s), Reason(c[7])) << c[0];
    }
    s.flags.stop = s.flags.notFound = false;

    // Going on remembers the residual, and a NaN is never converged.
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
    for (const data_table::Row& c : data_table::Read("stop_reasons/reports", 3)) {
        const StopReason reason = Reason(c[0]);
        out.clear();
        s.defaultShell.beeps = 0;
        s.solve.outcome = reason;
        s.solve.lastConvergedGroup = 1;
        // The flags that used to decide the report must not: they say the opposite here.
        s.flags.stop = reason != StopReason::kStopped;
        s.solve.toleranceExponentReached = reason == StopReason::kConverged ? 0 : -20;
        ReportOutcome(s);
        EXPECT_EQ(out, c[1]) << c[0];
        EXPECT_EQ(s.defaultShell.beeps, std::stoi(c[2])) << c[0];
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
