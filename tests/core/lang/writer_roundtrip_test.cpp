// Property: any compiled equation set, written as text and compiled again, states the same
// equations. Checked on generated equations over the grammar the writer has to cover.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/eval/evaluator.h"
#include "core/lang/expression_generator.h"
#include "core/lang/parser_harness.h"

namespace {

// Residual of equation e with the variables set by name; NaN when it is not an ordinary value.
double Residual(ParserHarness& h, int e, const std::vector<double>& point) {
    for (std::size_t k = 0; k < 4; ++k) h.Set(ExpressionGenerator::kNames[k], point[k]);
    bool error = false;
    h.s.keepMessage = true;
    const double r = Evaluate(h.s, h.s.model.eq[e].code, error);
    return error || !(std::fabs(r) < 1e40) || r == kUndefinedValue ? NAN : r;
}

}  // namespace

TEST(WriterRoundTrip, GeneratedEquationsReadBackAsTheSameEquations) {
    ExpressionGenerator generator;
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> coordinate(0.2, 2.0);
    int compared = 0;
    for (int document = 0; document < 150; ++document) {
        std::string text;
        for (int i = 0; i < 8; ++i) text += generator.Equation();
        ParserHarness first, second, third;
        for (ParserHarness* h : {&first, &second, &third})
            h->s.settings.autoSimplify = document % 2;
        ASSERT_TRUE(first.Compile(text)) << text;
        const std::string written = first.WrittenAll();
        ASSERT_TRUE(second.Compile(written)) << text << "--- written ---\n" << written;
        ASSERT_EQ(second.s.model.count, first.s.model.count) << written;
        // From the second writing on the text stays as it is ("x+-3" is written for a negated
        // 3, which reads back as the constant -3 and is then written "x+(-3)").
        const std::string rewritten = second.WrittenAll();
        ASSERT_TRUE(third.Compile(rewritten)) << rewritten;
        EXPECT_EQ(third.WrittenAll(), rewritten) << text;

        // The same residual, or its negative where a constant or a variable changed sides, in
        // which case an inequality turns round.
        for (int e = 1; e <= first.s.model.count; ++e) {
            double sign = 0.0;
            for (int p = 0; p < 5; ++p) {
                std::vector<double> point(4);
                for (double& c : point) c = coordinate(rng);
                const double r1 = Residual(first, e, point), r2 = Residual(second, e, point);
                if (std::isnan(r1) || std::isnan(r2)) continue;
                const double scale = std::max({1.0, std::fabs(r1), std::fabs(r2)});
                if (sign == 0.0 && std::fabs(r1) > 1e-6 * scale) sign = r1 * r2 < 0 ? -1.0 : 1.0;
                EXPECT_NEAR(r2, (sign < 0 ? -r1 : r1), 1e-9 * scale) << text << "---\n" << written;
                ++compared;
            }
            const unsigned char r1 = first.s.model.eq[e].relation;
            const unsigned char turned = r1 == '<' ? '>' : r1 == '>' ? '<' : r1;
            EXPECT_EQ(second.s.model.eq[e].relation, sign < 0 ? turned : r1) << written;
        }
    }
    EXPECT_GT(compared, 3000);
}
