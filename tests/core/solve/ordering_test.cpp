#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/solve/grouping.h"
#include "core/solve/grouping_fixture.h"

using grouping::Mode;

namespace {

bool Order(GroupingHarness& h, Mode mode) {
    grouping::BuildColumns(h.s.solve, h.n());
    return grouping::OrderEquations(h.s, mode);
}

double Value(GroupingHarness& h, int eq, int var) {
    return grouping::FindEntry(h.s.solve.rowHead[eq], var)->value;
}

}  // namespace

TEST(Ordering, LowestCountFirstAndMostRecentRowWithinACount) {
    // x = 1, x = 2, y + z = 1: equation 2 takes x and leaves equation 1 without a variable.
    GroupingHarness h(3);
    h.Add(1, 1);
    h.Add(2, 1);
    h.Add(3, 3);
    h.Add(3, 2);
    EXPECT_FALSE(Order(h, Mode::kStructural));
    EXPECT_EQ(h.s.solve.pivotEquation[1], 2);
    EXPECT_EQ(h.s.solve.pivotVariable[1], 1);
    EXPECT_EQ(h.out, "Equation    1 is Singular or Inconsistent\nError ...");
}

TEST(Ordering, StructuralPivotTakesShortestColumnAndFillsIn) {
    // Rows {x1,x2}, {x1,x3}, {x2,x3} form a cycle, so the first elimination must fill in.
    GroupingHarness h(3);
    h.Load({{}, {0, 1, 1, 0}, {0, 1, 0, 1}, {0, 0, 1, 1}});
    ASSERT_TRUE(Order(h, Mode::kStructural));
    // Equation 3 goes first; its columns tie, so its first term x2 is taken. The fill-in (1, x3)
    // lengthens x3's column, so equation 1 then prefers x1.
    const SolveState& v = h.s.solve;
    EXPECT_EQ((std::vector<int>{v.pivotEquation[1], v.pivotEquation[2], v.pivotEquation[3]}),
              (std::vector<int>{3, 1, 2}));
    EXPECT_EQ((std::vector<int>{v.pivotVariable[1], v.pivotVariable[2], v.pivotVariable[3]}),
              (std::vector<int>{2, 1, 3}));
    ASSERT_NE(v.rowHead[1], nullptr);
    EXPECT_TRUE(v.rowHead[1]->fill);
    EXPECT_EQ(v.rowHead[1]->variable, 3);
    EXPECT_EQ(v.columnHead[3], v.rowHead[1]);
    int fills = 0;
    for (int eq = 1; eq <= 3; ++eq) {
        for (const JacobianEntry* e = v.rowHead[eq]; e != nullptr; e = e->nextInRow)
            fills += e->fill;
    }
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(h.out, "");
}

TEST(Ordering, NumericalPivotIsLargestTermAndLaterEqualTermWins) {
    GroupingHarness h(3);
    h.Add(1, 3, 1.0);
    h.Add(1, 2, 1.0);
    h.Add(1, 1, 1.0);
    h.Add(2, 2, -4.0);
    h.Add(2, 1, 0.5);
    h.Add(3, 3, 3.0);
    h.Add(3, 1, -3.0);  // row 3 reads x1 = -3, x3 = 3: the later x3 wins the tie
    ASSERT_TRUE(Order(h, Mode::kNumerical));
    const SolveState& v = h.s.solve;
    EXPECT_EQ((std::vector<int>{v.pivotEquation[1], v.pivotEquation[2], v.pivotEquation[3]}),
              (std::vector<int>{3, 1, 2}));
    EXPECT_EQ((std::vector<int>{v.pivotVariable[1], v.pivotVariable[2], v.pivotVariable[3]}),
              (std::vector<int>{3, 1, 2}));
    // Row 1 - (1/3) row 3 gives x1 = 2 (larger than x2 = 1); row 2 - 0.25 row 1 gives x2 = -4.25.
    EXPECT_DOUBLE_EQ(Value(h, 1, 3), 1.0 / 3.0);
    EXPECT_DOUBLE_EQ(Value(h, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(Value(h, 2, 1), 0.25);
    EXPECT_DOUBLE_EQ(Value(h, 2, 2), -4.25);
}

TEST(Ordering, GroupOffsetKeepsEarlierGroupsInFront) {
    // Equation 3 alone in group 2 has the lowest own count but must still come last.
    GroupingHarness h(3);
    h.Load({{}, {0, 2, 1, 0}, {0, 1, 3, 0}, {0, 0, 0, 5}});
    h.s.solve.groupOf[3] = 2;
    h.s.solve.groupLast[1] = 2;
    h.s.solve.groupLast[2] = 3;
    h.s.solve.groupCount = 2;
    ASSERT_TRUE(Order(h, Mode::kNumerical));
    EXPECT_EQ(h.s.solve.pivotEquation[3], 3);
    EXPECT_EQ(h.s.solve.pivotVariable[3], 3);
}

TEST(Ordering, PivotAtOrBelowThresholdIsDependent) {
    struct Case {
        double term;
        bool accepted;
    };
    const Case cases[] = {{1e-18, false},
                          {-1e-18, false},
                          {0.0, false},
                          {2e-18, true},
                          {std::numeric_limits<double>::quiet_NaN(), false}};
    for (const Case& c : cases) {
        GroupingHarness h(1);
        h.Add(1, 1, c.term);
        EXPECT_EQ(Order(h, Mode::kNumerical), c.accepted) << c.term;
        EXPECT_EQ(h.s.solve.structureFailure, !c.accepted) << c.term;
        EXPECT_EQ(h.out, c.accepted ? "" : "Equation    1 Depends on Other Equations\nError ...")
            << c.term;
    }
}

TEST(Ordering, CountsAreCappedAtTheSizeLimit) {
    // 26 equations: row 1 has 25 terms, the others 26. Capped at 25 they all tie, so the most
    // recent row goes first instead of the shorter row 1.
    GroupingHarness h(26);
    for (int eq = 1; eq <= 26; ++eq) {
        for (int var = 1; var <= 26; ++var) {
            if (eq != 1 || var != 26) h.Add(eq, var);
        }
    }
    ASSERT_TRUE(Order(h, Mode::kStructural));
    EXPECT_EQ(h.s.solve.pivotEquation[1], 26);
}
