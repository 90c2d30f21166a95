// Elimination: which variable an equation gives up, the two ways of solving for it, what is
// written back, what cannot be eliminated, and on thousands of generated equations a
// solution that satisfies the eliminated equation and leaves the others' residuals as they
// were.

#include "core/symbolic/eliminate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/base/equation_model.h"
#include "core/data_table.h"
#include "core/eval/evaluator.h"
#include "core/lang/expression_generator.h"
#include "core/lang/parser_harness.h"
#include "core/symbolic/defined_parts.h"

namespace {

// The equations still in the set, as the save writes them.
std::string Remaining(ParserHarness& h) {
    std::string text;
    for (int e = 1; e <= h.s.model.count; ++e)
        if (!h.s.model.eq[e].retired) text += h.Written(e);
    return text;
}

}  // namespace

TEST(Eliminate, MarkedEquationsAndAssignmentsGiveUpTheirVariable) {
    for (const data_table::Row& c : data_table::Read("eliminate/marked", 4)) {
        ParserHarness h;
        ASSERT_TRUE(h.Compile(c[0])) << c[0];
        h.out.clear();
        EliminateMarked(h.s, c[1][0]);
        EXPECT_EQ(Remaining(h), c[2]) << c[0];
        const bool failed = h.out.find("Cannot") != std::string::npos ||
                            h.out.find("not found") != std::string::npos;
        EXPECT_EQ(failed, !c[3].empty()) << c[0] << h.out;
        EXPECT_NE(h.out.find(c[3]), std::string::npos) << h.out;
        EXPECT_NE(h.out.find("Substituting    1\n"), std::string::npos) << h.out;
        for (int e = 1; e <= h.s.model.count; ++e) EXPECT_EQ(h.s.model.eq[e].designated, 0);
    }
}

namespace {

// Text in the variables y, z and rate only.
std::string WithoutX(ExpressionGenerator& g, int depth) {
    std::string e = g.Expression(depth);
    std::replace(e.begin(), e.end(), 'x', 'z');
    return e;
}

// x wrapped in operations that all have an inverse; 0xA2 marks x as the one to eliminate. In
// the forms # stands for the path so far, $ for an expression without x.
std::string Path(ExpressionGenerator& g) {
    const char* const forms[] = {"$ + #", "(#) - $", "$ - (#)", "$*(#)",  "(#)/$",  "$/(#)",
                                 "(#)^3", "2^(#)",   "EXP(#)",  "LN(#)",  "SIN(#)", "TAN(#)",
                                 "SQUARE(#)", "-(#)"};
    std::string p = "\xA2x";
    for (int depth = 1 + g.Pick(3); depth > 0; --depth) {
        const std::string e = "(" + WithoutX(g, 1) + ")";
        std::string wrapped;
        for (const char* c = forms[g.Pick(14)]; *c != '\0'; ++c)
            wrapped += *c == '#' ? p : *c == '$' ? e : std::string(1, *c);
        p = wrapped;
    }
    return p;
}

// Equation e at x and the point (y, z, rate): its residual, and whether it means something there.
double Residual(ParserHarness& h, int e, double x, const std::vector<double>& point) {
    defined_parts::Place(h, {x, point[0], point[1], point[2]});
    return defined_parts::Value(h, h.s.model.eq[e].code);
}

bool Defined(ParserHarness& h, int e, double x, const std::vector<double>& point) {
    defined_parts::Place(h, {x, point[0], point[1], point[2]});
    return defined_parts::Defined(h, e);
}

}  // namespace

TEST(Eliminate, GeneratedEliminationsSolveTheEquationAndKeepTheOthers) {
    ExpressionGenerator g(3, true);
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> coordinate(0.3, 1.7);
    int systems = 0, eliminated = 0, solvedChecked = 0, othersChecked = 0;
    for (int i = 0; i < 1000; ++i, ++systems) {
        std::string text = i % 3 == 0 ? "\xA2x*(" + WithoutX(g, 2) + ") + (" + WithoutX(g, 2) +
                                            ")*x + " + WithoutX(g, 2)
                                      : Path(g);
        text += " \x85 " + WithoutX(g, 2) + ";\n";
        for (int k = 0; k < 3; ++k) text += g.Equation();
        ParserHarness original, rewritten;
        ASSERT_TRUE(original.Compile(text)) << text;
        ASSERT_TRUE(rewritten.Compile(text)) << text;
        EliminateMarked(rewritten.s, 'B');
        if (rewritten.s.model.eq[1].relation != kRelationRetired) continue;  // could not be
        ++eliminated;
        for (int p = 0; p < 3; ++p) {
            std::vector<double> point(3);
            for (double& c : point) c = coordinate(rng);
            // The retired equation reads x - solution.
            const double x = -Residual(rewritten, 1, 0.0, point);
            const double r = Residual(original, 1, x, point);
            const double nudged = Residual(original, 1, x * (1 + 1e-13), point);
            if (std::isnan(x) || std::isnan(r) || std::isnan(nudged)) continue;
            if (!Defined(original, 1, x, point) || !Defined(rewritten, 1, 0.0, point)) continue;
            EXPECT_NEAR(r, 0.0, 1e-8 + 1e4 * std::fabs(nudged - r)) << text << "x = " << x;
            ++solvedChecked;
            for (int e = 2; e <= original.s.model.count; ++e) {
                const double before = Residual(original, e, x, point);
                const double after = Residual(rewritten, e, 0.0, point);
                if (std::isnan(before) || std::isnan(after) || !Defined(original, e, x, point))
                    continue;
                EXPECT_NEAR(after, before, 1e-9 * std::max(1.0, std::fabs(before))) << text;
                ++othersChecked;
            }
        }
    }
    EXPECT_EQ(systems, 1000);
    EXPECT_GT(eliminated, 800);
    EXPECT_GT(solvedChecked, 1000);
    EXPECT_GT(othersChecked, 3000);
}
