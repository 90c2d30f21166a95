// Simplification: canonical forms of the textbook cases, identities that hold only where
// they are written soundly, passes that would lengthen an equation undone, and on thousands of
// generated equations the same residuals as before.

#include "core/symbolic/simplify.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

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

void ExpectSimplified(const std::vector<std::pair<std::string, std::string>>& rows) {
    for (const auto& [text, expected] : rows) EXPECT_EQ(Simplified(text), expected) << text;
}

}  // namespace

TEST(Simplify, SumsAndProductsReachTheirCanonicalForm) {
    ExpectSimplified({
        {"x + y - x;", "y; "},
        {"x - x;", "0; "},
        {"2*x + 3*x;", "5*x; "},
        {"SIN(a)^2 + COS(a)^2;", "1; "},
        {"x*y/x;", "y; "},
        {"3 + x - 5 + y;", "x+y-2; "},
        {"-x + y;", "-x+y; "},  // a subtracted term keeps its place by the order
        {"x*x*x/x;", "x^2; "},
        {"2*(x + y) - 2*x;", "2*y; "},
        {"(x*3)*(2*y);", "6*x*y; "},
        {"0*SIN(x) + y;", "y; "},
        {"x/(2*y);", "0.5*x/y; "},
        {"SQUARE(SQUARE(x))/x;", "x^3; "},
        {"x^2*x^0.5/x;", "x^1.5; "},
    });
}

TEST(Simplify, FunctionIdentitiesKeepTheValueEverywhere) {
    ExpectSimplified({
        // Inverse pairs that hold wherever the left side is defined.
        {"LN(EXP(x)) + EXP(LN(y));", "x+y; "},
        {"INV(INV(x)) - (-(-y));", "x-y; "},
        {"SIN(ARCSIN(x));", "x; "},
        // Only on part of the line: written with ABS, or left alone.
        {"SQRT(SQUARE(x));", "ABS(x); "},
        {"(x^2)^0.5;", "ABS(x); "},
        {"(x^2)^1.5;", "ABS(x)^3; "},
        {"(x^3)^2;", "x^6; "},
        {"ARCSIN(SIN(x));", "ARCSIN(SIN(x)); "},
        {"ARCTAN(TAN(x));", "ARCTAN(TAN(x)); "},
        // A minus is dropped under even functions and brought out of odd ones only.
        {"COS(-x) + ABS(-y);", "COS(x)+ABS(y); "},
        {"SIN(-x);", "-SIN(x); "},
        {"ARCCOS(-x);", "ARCCOS(-x); "},
        {"SQRT(-x);", "SQRT(-x); "},
        // c^x is not a power of x.
        {"2^x*x;", "x*2^x; "},
        // Constants and branches.
        {"SIN(0) + EXP(0)*x;", "x; "},
        {"(IF 2 > 1 THEN (x) ELSE (y));", "x; "},
        {"(IF 2 > 2 THEN (x) ELSE (y));", "y; "},  // a condition of 0 is false
        {"(IF x > 1 THEN (y) ELSE (y));", "y; "},
        {"x^0 + y^1 + z^-1;", "y+INV(z)+1; "},
    });
}

TEST(Simplify, ValuesAreNeverRoundedAway) {
    ExpectSimplified({
        // Tiny constants are numbers like any other; only an exact zero goes.
        {"x + 1E-30;", "x+1E-30; "},
        {"1.00000001*x;", "1.00000001*x; "},
        // The undefined constant stays undefined, and failing functions stay as written.
        {"x + ? - 1;", "x-1+?; "},
        {"x + LN(-1);", "x+LN(-1); "},
        // A tie to a variable makes a constant more than a number.
        {"x - \xB0{y}2 - 3;", "x-3-\xB0{y}2; "},
    });
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
