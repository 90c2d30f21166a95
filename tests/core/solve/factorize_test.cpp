#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "core/solve/grouping.h"
#include "core/solve/grouping_fixture.h"

namespace {

// Analyses values a the way the solve loop's numerical pass does.
void Analyse(GroupingHarness& h) {
    grouping::BuildColumns(h.s.solve, h.n());
    ASSERT_TRUE(grouping::OrderEquations(h.s, grouping::Mode::kNumerical)) << h.out;
    grouping::BuildColumns(h.s.solve, h.n());
}

void ExpectSameVector(const std::vector<double>& got, const std::vector<double>& want,
                      const std::string& what) {
    double scale = 1.0;
    for (double w : want) scale = std::max(scale, std::fabs(w));
    for (std::size_t i = 1; i < want.size(); ++i) {
        EXPECT_NEAR(got[i], want[i], 1e-9 * scale) << what << " variable " << i;
    }
}

// Same pattern, new values: what a later Newton step sees.
Dense Revalue(std::mt19937& rng, Dense a) {
    const int n = static_cast<int>(a.size()) - 1;
    Dense fresh = RandomSparse(rng, n, 1.0);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (a[i][j] != 0.0) a[i][j] = fresh[i][j];
        }
    }
    return a;
}

}  // namespace

TEST(Factorize, StepEqualsDenseSolveForRandomSystems) {
    std::mt19937 rng(4271);
    for (int n : {1, 2, 3, 5, 8, 13, 20, 25}) {
        for (double density : {0.0, 0.1, 0.3, 1.0}) {
            const std::string what =
                "n=" + std::to_string(n) + " density=" + std::to_string(density);
            GroupingHarness h(n);
            const Dense a = RandomSparse(rng, n, density);
            h.Load(a);
            Analyse(h);
            const std::vector<double> b = RandomVector(rng, n);
            ExpectSameVector(h.Step(1, b), DenseSolve(a, b), what + " analysis factors");

            // Refactorizing in the fixed order must still be exact with the analysis' fill-ins.
            const Dense a2 = Revalue(rng, a);
            h.Refresh(a2);
            FactorizeGroup(h.s, 1);
            ExpectSameVector(h.Step(1, b), DenseSolve(a2, b), what + " refactorized");
        }
    }
}

TEST(Factorize, GroupsAreFactorizedAndSolvedSeparately) {
    // Two 2x2 blocks; group 2 covers positions 3 and 4.
    GroupingHarness h(4);
    const Dense a = {{}, {0, 4, 1, 0, 0}, {0, 1, 3, 0, 0}, {0, 0, 0, 2, 5}, {0, 0, 0, 1, -1}};
    h.Load(a);
    for (int eq : {3, 4}) h.s.solve.groupOf[eq] = 2;
    h.s.solve.groupLast[1] = 2;
    h.s.solve.groupLast[2] = 4;
    h.s.solve.groupCount = 2;
    Analyse(h);

    Dense a2 = a;
    a2[1][1] = 100.0;  // must not be seen by group 2's factorization
    a2[3][3] = -7.0;
    h.Refresh(a2);
    const double untouched = h.s.solve.rowHead[1]->value;
    FactorizeGroup(h.s, 2);
    EXPECT_EQ(h.s.solve.rowHead[1]->value, untouched);

    const SolveState& v = h.s.solve;
    const std::vector<double> r = {0.0, 0.0, 0.0, 1.0, 2.0};  // residuals by equation
    std::vector<double> f(v.delta.size(), 42.0);
    for (int k : {3, 4}) f[k] = r[v.pivotEquation[k]];
    SubstituteGroup(h.s, 2, f);
    EXPECT_EQ(f[1], 42.0);
    EXPECT_EQ(f[2], 42.0);
    // Block 2 of a2: -7 x3 + 5 x4 = r3, x3 - x4 = r4.
    std::vector<double> x(5, 0.0);
    for (int k : {3, 4}) x[v.pivotVariable[k]] = f[k];
    EXPECT_NEAR(-7 * x[3] + 5 * x[4], r[3], 1e-12);
    EXPECT_NEAR(x[3] - x[4], r[4], 1e-12);
}

TEST(Factorize, VanishedPivotGivesLargestStepInsteadOfInfinity) {
    GroupingHarness h(1);
    h.Add(1, 1, 2.0);
    Analyse(h);
    h.Refresh({{}, {0, 0.0}});
    FactorizeGroup(h.s, 1);
    EXPECT_EQ(h.Step(1, {0.0, 3.0})[1], h.s.k.largest);
}
