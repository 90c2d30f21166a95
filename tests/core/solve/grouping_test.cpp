#include "core/solve/grouping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include "core/lang/code_string.h"
#include "core/solve/grouping_fixture.h"
#include "core/solve/jacobian_eval.h"

namespace {

// Symbolic mode: the rows exist before the analysis, each term carrying its derivative code.
struct Symbolic : GroupingHarness {
    using GroupingHarness::GroupingHarness;
    CodeNode* V(double v) { return ConstNode(s.pool, v); }
    CodeNode* X(int var) { return VarNode(s.pool, var); }
    CodeNode* B(unsigned char op, CodeNode* l, CodeNode* r) { return WrapBinary(s.pool, op, r, l); }
    void Term(int eq, int var, CodeNode* derivative) {
        Add(eq, var, 0.0)->code = Finalize(s.pool, derivative);
    }
    void Linear(const Dense& a) {
        for (int eq = 1; eq <= n(); ++eq) {
            for (int var = n(); var >= 1; --var) {
                if (a[eq][var] != 0.0) Term(eq, var, V(a[eq][var]));
            }
        }
    }
    bool Has(int eq, int var) { return grouping::FindEntry(s.solve.rowHead[eq], var) != nullptr; }
};

// Equation 1: y = x^2 (dx: -2x, dy: 1); equation 2: x = 2.
void Chain(Symbolic& h) {
    h.Term(1, 2, h.V(1));
    h.Term(1, 1, h.B('*', h.V(-2), h.X(1)));
    h.Term(2, 1, h.V(1));
    h.s.names.value[1] = 3.0;
}

}  // namespace

TEST(Grouping, CoupledEquationsFormOneGroupAndStepToTheSolution) {
    Symbolic h(2);
    h.Linear({{}, {0, 1, 1}, {0, 1, -1}});  // x + y = 3, x - y = 1
    h.s.solve.structureFailure = true;      // left over from an earlier loop
    AnalyseStructure(h.s);
    EXPECT_EQ(h.out, "   2 equations solvable in    1 groups\n");
    ASSERT_FALSE(h.s.solve.structureFailure);
    EXPECT_EQ(h.s.solve.groupCount, 1);
    EXPECT_TRUE(h.s.solve.jacobianFactorized);
    // At x = y = 0 the residuals are -3 and -1; a linear system is solved in one step.
    const std::vector<double> dx = h.Step(1, {0.0, -3.0, -1.0});
    EXPECT_DOUBLE_EQ(-dx[1], 2.0);
    EXPECT_DOUBLE_EQ(-dx[2], 1.0);
}

TEST(Grouping, DependentEquationIsSolvedInALaterGroupWithoutTheCrossTerm) {
    Symbolic h(2);
    Chain(h);
    const std::size_t liveBefore = h.s.pool.liveCount();
    const int crossNodes = CountNodes(grouping::FindEntry(h.s.solve.rowHead[1], 1)->code);
    AnalyseStructure(h.s);
    EXPECT_EQ(h.out, "   2 equations solvable in    2 groups\n");
    const SolveState& v = h.s.solve;
    EXPECT_EQ(v.groupOf[2], 1);  // x = 2 first, then y from x
    EXPECT_EQ(v.groupOf[1], 2);
    EXPECT_EQ(v.pivotEquation[1], 2);
    EXPECT_EQ(v.groupLast[1], 1);
    EXPECT_FALSE(h.Has(1, 1));
    EXPECT_TRUE(h.Has(1, 2));
    EXPECT_EQ(h.s.pool.liveCount(), liveBefore - crossNodes);  // the dropped term's code is freed
}

TEST(Grouping, SolveInGroupsOffKeepsTheSetTogether) {
    Symbolic h(2);
    Chain(h);
    h.s.settings.solveInGroups = false;
    AnalyseStructure(h.s);
    EXPECT_EQ(h.out, "   2 equations solvable in    1 groups\n");
    EXPECT_EQ(h.s.solve.groupCount, 1);
    EXPECT_TRUE(h.Has(1, 1));
    // At x = 3, y = 0: J = [[-6, 1], [1, 0]], F = (-9, 1), so the step is (1, -3).
    const std::vector<double> dx = h.Step(1, {0.0, -9.0, 1.0});
    EXPECT_DOUBLE_EQ(dx[1], 1.0);
    EXPECT_DOUBLE_EQ(dx[2], -3.0);
}

TEST(Grouping, FailuresReportTheEquation) {
    struct Case {
        Dense a;
        double x;  // value of x1 (the one-equation cases are x1^2 = 0, derivative 2 x1)
        bool searchingIfs;
        std::string out;
    };
    const std::string one = "   1 equations solvable in    1 groups\n";
    const std::string two = "   2 equations solvable in    1 groups\n";
    const std::string dependent = "Equation    1 Depends on Other Equations";
    const std::string tail = "\nError ...";
    const Case cases[] = {
        // x = 1, x = 2, y + z = 1
        {{{}, {0, 1, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 1}},
         0.0,
         false,
         "Equation    1 is Singular or Inconsistent" + tail},
        // x + y = 1, 2x + 2y = 2; then the same while IF combinations are searched
        {{{}, {0, 1, 1}, {0, 2, 2}}, 0.0, false, two + dependent + tail},
        {{{}, {0, 1, 1}, {0, 2, 2}}, 0.0, true, two + dependent},
        {{{}, {0, 0}}, 0.0, false, one + dependent + tail},
        {{{}, {0, 0}}, 1.0, false, one},
    };
    for (const Case& c : cases) {
        Symbolic h(static_cast<int>(c.a.size()) - 1);
        h.Linear(c.a);
        if (h.n() == 1) h.Term(1, 1, h.B('*', h.V(2), h.X(1)));
        h.s.names.value[1] = c.x;
        h.s.solve.searchingIfs = c.searchingIfs;
        AnalyseStructure(h.s);
        const bool fails = c.out.find("Equation ") != std::string::npos;
        EXPECT_EQ(h.out, c.out);
        EXPECT_EQ(h.s.solve.structureFailure, fails) << c.out;
        EXPECT_EQ(h.s.flags.stop, fails) << c.out;
        EXPECT_EQ(h.s.flags.errorEquation, fails ? 1 : 0) << c.out;
        EXPECT_EQ(h.beeps(), fails ? 1 : 0) << c.out;
    }
}

TEST(Grouping, IncrementalModeGroupsFromTheEquationCode) {
    GroupingHarness h(2);
    NodePool& p = h.s.pool;
    auto B = [&](unsigned char op, CodeNode* l, CodeNode* r) { return WrapBinary(p, op, r, l); };
    // y - x^2 and x - 2.
    h.s.model.eq[1].code =
        Finalize(p, B('-', VarNode(p, 2), B('^', VarNode(p, 1), ConstNode(p, 2))));
    h.s.model.eq[2].code = Finalize(p, B('-', VarNode(p, 1), ConstNode(p, 2)));
    h.s.settings.jacobianMode = kJacobianIncremental;
    AnalyseStructure(h.s);
    EXPECT_EQ(h.out, "   2 equations solvable in    2 groups\n");
    EXPECT_EQ(h.s.solve.pivotEquation[1], 2);
    EXPECT_EQ(grouping::FindEntry(h.s.solve.rowHead[1], 1), nullptr);
    EXPECT_NEAR(h.s.solve.diagonal[1]->value, 1.0, 1e-9);
}

TEST(Grouping, RandomSystemsSolveGroupByGroupToTheDenseSolution) {
    std::mt19937 rng(90210);
    for (int n : {3, 7, 12, 25}) {
        for (double density : {0.03, 0.08, 0.2, 0.6}) {
            const std::string what =
                "n=" + std::to_string(n) + " density=" + std::to_string(density);
            Symbolic h(n);
            const Dense a = RandomSparse(rng, n, density);
            h.Linear(a);
            AnalyseStructure(h.s);
            ASSERT_FALSE(h.s.solve.structureFailure) << what << h.out;
            const SolveState& v = h.s.solve;
            // Positions are a permutation, cut into contiguous groups in order.
            std::vector<int> seen(n + 1, 0);
            for (int g = 1; g <= v.groupCount; ++g) {
                for (int k = grouping::FirstPosition(v, g); k <= grouping::LastPosition(v, g);
                     ++k) {
                    ++seen[v.pivotEquation[k]];
                    EXPECT_EQ(v.groupOf[v.pivotEquation[k]], g) << what;
                    EXPECT_EQ(v.positionOf[v.pivotEquation[k]], k) << what;
                }
            }
            EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), n) << what;
            // Every term refers to its own group or an earlier one; only its own group's are kept.
            for (int eq = 1; eq <= n; ++eq) {
                for (int var = 1; var <= n; ++var) {
                    if (a[eq][var] == 0.0) continue;
                    const int varGroup = v.groupOf[v.matchOf[var]];
                    EXPECT_LE(varGroup, v.groupOf[eq]) << what;
                    EXPECT_EQ(h.Has(eq, var), varGroup == v.groupOf[eq]) << what;
                }
            }

            // Linear equations: one step per group, later groups seeing the earlier values.
            const std::vector<double> b = RandomVector(rng, n);
            std::vector<double> x(n + 1, 0.0);
            for (int g = 1; g <= v.groupCount; ++g) {
                EvaluateJacobian(h.s, g, false);
                FactorizeGroup(h.s, g);
                std::vector<double> r(n + 1, 0.0);
                for (int eq = 1; eq <= n; ++eq) {
                    r[eq] = -b[eq];
                    for (int var = 1; var <= n; ++var) r[eq] += a[eq][var] * x[var];
                }
                const std::vector<double> dx = h.Step(g, r);
                for (int var = 1; var <= n; ++var) x[var] -= dx[var];
            }
            const std::vector<double> want = DenseSolve(a, b);
            for (int var = 1; var <= n; ++var)
                EXPECT_NEAR(x[var], want[var], 1e-8 * (1 + std::fabs(want[var]))) << what;
        }
    }
}
