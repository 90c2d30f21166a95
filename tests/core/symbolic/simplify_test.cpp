// Simplification: canonical forms of the textbook cases, identities that hold only where
// they are written soundly, passes that would lengthen an equation undone, and on thousands of
// generated equations the same residuals as before.

#include "core/symbolic/simplify.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/data_table.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/lang/expression_generator.h"
#include "core/lang/parser_harness.h"
#include "core/symbolic/defined_parts.h"

namespace {

// Equation 1 of the text, simplified and written back.
std::string Simplified(const std::string& text) {
    ParserHarness h;
    if (!h.Compile(text)) return "refused: " + h.s.message;
    SimplifyEquation(h.s, 1);
    return h.Written(1);
}

}  // namespace

// Canonical forms of sums and products, function identities that keep the value everywhere,
// and values that are never rounded away.
TEST(Simplify, WrittenCasesReachTheirForms) {
    for (const char* table : {"canonical_forms", "function_identities", "values_kept"}) {
        for (const data_table::Row& row : data_table::Read(std::string("simplify/") + table)) {
            EXPECT_EQ(Simplified(row[0]), row[1]) << table << ": " << row[0];
        }
    }
}

TEST(Simplify, APassThatLengthensTheEquationIsUndone) {
    // Multiplied out, 2*(x+y)*(z+1) would read 2*x*z+2*x+2*y*z+2*y.
    for (const char* text : {"2*(x + y)*(z + 1);", "(a + b)*(c + d)*(e + f)*(g + h)*(i + j);"}) {
        ParserHarness h;
        ASSERT_TRUE(h.Compile(text));
        const int before = CountNodes(h.s.model.eq[1].code);
        SimplifyEquation(h.s, 1);
        EXPECT_LE(CountNodes(h.s.model.eq[1].code), before) << text;
    }
}

namespace {

class Points {
   public:
    explicit Points(ParserHarness& h) : h_(h) {}

    // Residual of equation e at the point; NaN when it has no ordinary value there or when
    // it is so ill-conditioned there that rounding alone moves it.
    double At(int e, const std::vector<double>& point) {
        defined_parts::Place(h_, point);
        const double r = defined_parts::Value(h_, h_.s.model.eq[e].code);
        std::vector<double> nudged = point;
        for (double& c : nudged) c *= 1 + 1e-11;
        defined_parts::Place(h_, nudged);
        const double r2 = defined_parts::Value(h_, h_.s.model.eq[e].code);
        defined_parts::Place(h_, point);
        if (std::isnan(r) || std::isnan(r2) ||
            std::fabs(r - r2) > 1e-8 * std::max(1.0, std::fabs(r)))
            return NAN;
        return r;
    }

    bool Defined(int e, const std::vector<double>& point) {
        defined_parts::Place(h_, point);
        return defined_parts::Defined(h_, e);
    }

   private:
    ParserHarness& h_;
};

}  // namespace

TEST(Simplify, GeneratedEquationsKeepTheirResidualsAndNeverGrow) {
    ExpressionGenerator generator(7, true);
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> coordinate(-2.0, 2.0);
    int equations = 0, compared = 0, shortened = 0;
    for (int document = 0; document < 400; ++document) {
        std::string text;
        for (int i = 0; i < 8; ++i) text += generator.Equation();
        ParserHarness original, simplified;
        ASSERT_TRUE(original.Compile(text)) << text;
        ASSERT_TRUE(simplified.Compile(text)) << text;
        SimplifyEquations(simplified.s, 1, simplified.s.model.count);
        Points before(original), after(simplified);
        for (int e = 1; e <= original.s.model.count; ++e, ++equations) {
            const int n0 = CountNodes(original.s.model.eq[e].code);
            const int n1 = CountNodes(simplified.s.model.eq[e].code);
            EXPECT_LE(n1, n0) << text;
            shortened += n1 < n0;
            for (int p = 0; p < 4; ++p) {
                std::vector<double> point(4);
                for (double& c : point) c = coordinate(rng);
                if (!before.Defined(e, point)) continue;
                const double r0 = before.At(e, point), r1 = after.At(e, point);
                if (std::isnan(r0) || std::isnan(r1)) continue;
                EXPECT_NEAR(r1, r0, 1e-9 * std::max(1.0, std::fabs(r0)))
                    << "equation " << e << " of\n"
                    << text << "simplified: " << simplified.Written(e);
                ++compared;
            }
        }
    }
    EXPECT_EQ(equations, 3200);
    EXPECT_GT(compared, 6000);
    EXPECT_GT(shortened, 1500);
}
