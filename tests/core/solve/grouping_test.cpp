#include "core/solve/grouping.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/data_table.h"
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

// Jacobian terms written row by row, rows split by ';', in the 1-based layout of Dense.
Dense Terms(const std::string& rows) {
    Dense a(1);
    std::istringstream in(rows);
    for (std::string row; std::getline(in, row, ';');) {
        std::istringstream values(row);
        a.emplace_back(1, 0.0);
        for (double v; values >> v;) a.back().push_back(v);
    }
    return a;
}

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
    for (const data_table::Row& c : data_table::Read("grouping_messages/analyses", 4)) {
        const bool square = c[0] == "x1^2";
        GroupingHarness h(square ? Dense(2, std::vector<double>(2, 0.0)) : Terms(c[0]));
        if (square) h.Term(1, 1, "2 x1 *");
        h.s.names.value[1] = std::stod(c[1]);
        h.s.solve.searchingIfs = c[2] == "1";
        h.s.solve.structureFailure = true;  // left over from an earlier loop
        AnalyseStructure(h.s);
        const bool fails = c[3].find("Equation ") != std::string::npos;
        EXPECT_EQ(h.out, c[3]) << c[0];
        EXPECT_EQ(h.s.solve.structureFailure, fails) << c[3];
        EXPECT_EQ(h.s.flags.stop, fails) << c[3];
        EXPECT_EQ(h.s.defaultShell.beeps, fails ? 1 : 0) << c[3];
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
