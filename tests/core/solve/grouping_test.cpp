#include "core/solve/grouping.h"

#include <gtest/gtest.h>

#include <string>

#include "core/lang/code_string.h"
#include "core/solve/grouping_fixture.h"

namespace {

// Equation 1: x2 = x1^2 (terms -2 x1 and 1), equation 2: x1 = 2; at x1 = 3.
struct Chain : GroupingHarness {
    Chain() : GroupingHarness(Dense(3, std::vector<double>(3, 0.0))) {
        Term(1, 2, "1");
        Term(1, 1, "-2 x1 *");
        Term(2, 1, "1");
        s.names.value[1] = 3.0;
    }
};

}  // namespace

TEST(Grouping, DependentEquationIsSolvedInALaterGroupUnlessSwitchedOff) {
    Chain h;
    const std::size_t crossNodes = CountNodes(grouping::FindEntry(h.s.solve.rowHead[1], 1)->code);
    const std::size_t liveBefore = h.s.pool.liveCount();
    AnalyseStructure(h.s);
    EXPECT_EQ(h.out, "   2 equations solvable in    2 groups\n");
    EXPECT_EQ(h.s.solve.groupOf[2], 1);  // x1 = 2 first, then x2 from x1
    EXPECT_EQ(h.s.solve.groupOf[1], 2);
    EXPECT_EQ(h.s.solve.pivotEquation[1], 2);
    EXPECT_EQ(grouping::FindEntry(h.s.solve.rowHead[1], 1), nullptr);
    EXPECT_EQ(h.s.pool.liveCount(), liveBefore - crossNodes);  // the dropped term's code is freed

    Chain together;
    together.s.settings.solveInGroups = false;
    AnalyseStructure(together.s);
    EXPECT_EQ(together.out, "   2 equations solvable in    1 groups\n");
    // J = [[-6, 1], [1, 0]], F = (-9, 1), so the step is (1, -3).
    const std::vector<double> dx = together.Step(1, {0.0, -9.0, 1.0});
    EXPECT_DOUBLE_EQ(dx[1], 1.0);
    EXPECT_DOUBLE_EQ(dx[2], -3.0);
}

TEST(Grouping, CountLineAndFailureMessages) {
    const std::string one = "   1 equations solvable in    1 groups\n";
    const std::string two = "   2 equations solvable in    1 groups\n";
    const std::string singular = "Equation    1 is Singular or Inconsistent";
    const std::string dependent = "Equation    1 Depends on Other Equations";
    const std::string tail = "\nError ...";
    const struct {
        Dense a;  // an empty 1 x 1 matrix stands for x1^2 = 0 (term 2 x1)
        double x1;
        bool searchingIfs;
        std::string out;
    } cases[] = {
        {{{}, {0, 1, 1}, {0, 1, -1}}, 0, false, two},  // x1 + x2 = 3, x1 - x2 = 1
        // x1 = 1, x1 = 2, x2 + x3 = 1
        {{{}, {0, 1, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 1}}, 0, false, singular + tail},
        // x1 + x2 = 1, 2 x1 + 2 x2 = 2; no tail while IF combinations are searched
        {{{}, {0, 1, 1}, {0, 2, 2}}, 0, false, two + dependent + tail},
        {{{}, {0, 1, 1}, {0, 2, 2}}, 0, true, two + dependent},
        {{{}, {0, 0}}, 0, false, one + dependent + tail},
        {{{}, {0, 0}}, 1, false, one},
    };
    for (const auto& c : cases) {
        GroupingHarness h(c.a);
        if (h.n() == 1) h.Term(1, 1, "2 x1 *");
        h.s.names.value[1] = c.x1;
        h.s.solve.searchingIfs = c.searchingIfs;
        h.s.solve.structureFailure = true;  // left over from an earlier loop
        AnalyseStructure(h.s);
        const bool fails = c.out.find("Equation ") != std::string::npos;
        EXPECT_EQ(h.out, c.out);
        EXPECT_EQ(h.s.solve.structureFailure, fails) << c.out;
        EXPECT_EQ(h.s.flags.stop, fails) << c.out;
        EXPECT_EQ(h.s.defaultShell.beeps, fails ? 1 : 0) << c.out;
    }
}

// A large set is grouped by its blocks and its large groups factorized apart, but a set without
// a variable for every equation, or with an equation that repeats others, is still reported by
// the ordering elimination with its messages.
TEST(Grouping, LargeSetsReportSingularAndDependentEquations) {
    const int n = 100;
    auto chain = [n] {
        Dense a(n + 1, std::vector<double>(n + 1, 0.0));
        for (int k = 1; k <= n; ++k) {
            a[k][k] = 3.0;
            if (k > 1) a[k][k - 1] = 1.0;
            if (k < n) a[k][k + 1] = 1.0;
        }
        return a;
    };
    const std::string count = " 100 equations solvable in    1 groups\n";

    Dense singular = chain();
    singular[40] = singular[41] = std::vector<double>(n + 1, 0.0);
    singular[40][7] = singular[41][7] = 1.0;  // two equations of x7 alone; x40, x41 in none other
    singular[39][40] = singular[42][41] = 0.0;
    GroupingHarness hs(singular, n);
    AnalyseStructure(hs.s);
    EXPECT_TRUE(hs.s.solve.structureFailure);
    EXPECT_TRUE(hs.s.flags.stop);
    EXPECT_NE(hs.out.find(" is Singular or Inconsistent\nError ..."), std::string::npos) << hs.out;
    EXPECT_EQ(hs.out.find("solvable"), std::string::npos) << hs.out;

    Dense dependent = chain();
    dependent[n] = dependent[n - 1];  // the last equation repeats the one before
    GroupingHarness hd(dependent, n);
    AnalyseStructure(hd.s);
    EXPECT_TRUE(hd.s.solve.structureFailure);
    EXPECT_TRUE(hd.s.flags.stop);
    const std::string named = hd.out.substr(0, hd.out.find(" Depends on Other Equations"));
    EXPECT_TRUE(named == count + "Equation   99" || named == count + "Equation  100") << hd.out;
    EXPECT_NE(hd.out.find(" Depends on Other Equations\nError ..."), std::string::npos) << hd.out;
}
