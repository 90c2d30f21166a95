#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/capacity_hint.h"
#include "core/document_fixture.h"

namespace {

// x1 = 1 and x(i) = x(i-1) + 1 up to xn: n statements, n variables, n as the last value.
std::string Chain(int n) {
    std::string text = "x1 = 1;\n";
    for (int i = 2; i <= n; ++i)
        text += "x" + std::to_string(i) + " = x" + std::to_string(i - 1) + " + 1;\n";
    return text;
}

// The discretised boundary-value problem u'' = exp(u) on n interior points, scaled so that
// every residual is of order one, with a starting value for each point: 2n statements.
std::string BoundaryValueProblem(int n) {
    const std::string scale = std::to_string((n + 1) * (n + 1));
    std::string text;
    for (int i = 1; i <= n; ++i) {
        const std::string u = "u" + std::to_string(i);
        text += "(" + (i > 1 ? "u" + std::to_string(i - 1) : std::string("0")) + " - 2*" + u +
                " + " + (i < n ? "u" + std::to_string(i + 1) : std::string("0")) + ")*" + scale +
                " = EXP(" + u + ");\n";
    }
    for (int i = 1; i <= n; ++i) text += "u" + std::to_string(i) + " \xbb 0;\n";
    return text;
}

// The refusals at the default capacity are the golden cases'; here the capacity the hint names
// is the one that lets the run through.
class CapacityTest : public DocumentFixture {};

TEST_F(CapacityTest, TheOptionsLineAndTheSettingRaiseTheTablesForOneRun) {
    // The document's own line raises the limits for its run.
    Run("{Options: 20 -8 NEWTON SYMBOLIC 1 SEQUENTIAL 0.001 0.1 REAL CAPACITY=400}\n" + Chain(237));
    EXPECT_NE(out_.find(" 237 variables and  237 equations"), std::string::npos) << out_;
    EXPECT_NE(out_.find("Solution Found!"), std::string::npos) << out_;
    EXPECT_EQ(Value("x237"), 237.0);
    EXPECT_EQ(core_.limits.maxEquations, 400);
    EXPECT_GE(core_.names.slotName.size(), 400u * 6);

    // The program-wide setting (what --capacity and the desktop set) does the same; a run
    // back at the default refuses again with the tables made small.
    core_.settings.capacity = 25;
    Run(Chain(237));
    EXPECT_TRUE(HintsCapacity(out_, 237)) << out_;
    core_.settings.capacity = 237;
    Run(Chain(237));
    EXPECT_EQ(Value("x237"), 237.0);
    core_.settings.capacity = 25;
    Run(Chain(3));
    EXPECT_EQ(core_.limits.maxEquations, 25);
    EXPECT_EQ(core_.model.eq.size(), static_cast<std::size_t>(Limits{}.equationTableSize()));
}

TEST_F(CapacityTest, AThousandPointBoundaryValueProblemSolvesWithItsGuessesCounted) {
    const int n = 1000;
    core_.settings.capacity = 2 * n;  // the guesses count as statements (golden capacity_guesses)
    core_.settings.toleranceExponent = -8;
    Run(BoundaryValueProblem(n));
    ASSERT_NE(out_.find("Solution Found!"), std::string::npos) << out_.substr(0, 2000);
    EXPECT_NE(out_.find("1000 equations solvable in    1 groups"), std::string::npos);
    // Symmetric about the middle, and each interior point satisfies the difference equation.
    const double h2 = 1.0 / ((n + 1.0) * (n + 1.0));
    for (int i : {2, 250, 500}) {
        EXPECT_NEAR(Value("u" + std::to_string(i)), Value("u" + std::to_string(n + 1 - i)), 1e-9);
        const double left = Value("u" + std::to_string(i - 1)), u = Value("u" + std::to_string(i)),
                     right = Value("u" + std::to_string(i + 1));
        EXPECT_NEAR((left - 2 * u + right) / h2, std::exp(u), 1e-6);
    }
    EXPECT_LT(Value("u500"), -0.1);  // the known solution sinks to about -0.14 in the middle
    EXPECT_GT(Value("u500"), -0.2);
}

}  // namespace
