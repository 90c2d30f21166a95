// The table of function traits against the functions themselves: every name reads back to its
// code, and what the table claims of a function (its inverse undoes it, it is even or odd, it
// is a power) holds for the values the evaluator computes, since simplification and
// elimination rewrite equations on the table's word alone.

#include "core/lang/function_traits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/eval/evaluator.h"

namespace {

const std::vector<double> kSamples = {-4.0, -2.5, -1.0, -0.6, -0.2, 0.3, 0.8, 1.0, 1.7, 4.0};

std::vector<const UnaryTraits*> UnaryRows() {
    std::vector<const UnaryTraits*> rows;
    for (int c = 0; c < 256; ++c) {
        if (const UnaryTraits* t = FindUnaryTraits(static_cast<unsigned char>(c)))
            rows.push_back(t);
    }
    return rows;
}

// f(x) as the evaluator computes it, nothing where f is not defined there.
std::optional<double> Value(unsigned char f, double x) {
    CoreState s;
    bool error = false;
    const double v = RealUnary(s, f, x, error);
    if (error || std::isnan(v)) return std::nullopt;
    return v;
}

bool Near(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
}

}  // namespace

TEST(FunctionTraits, EveryCodeHasOneRowWhoseNameReadsBack) {
    EXPECT_EQ(UnaryRows().size(), 25u);
    int binary = 0;
    for (int c = 0; c < 256; ++c) {
        const auto code = static_cast<unsigned char>(c);
        if (const UnaryTraits* u = FindUnaryTraits(code)) {
            EXPECT_EQ(u->code, code);
            EXPECT_EQ(FindUnaryCode(UnaryCodeName(code)), code) << u->name;
        } else {
            EXPECT_EQ(UnaryCodeName(code), "?") << c;
        }
        if (const BinaryTraits* b = FindBinaryTraits(code)) {
            ++binary;
            EXPECT_EQ(b->code, code);
            // Operators are written between their operands; only calls are read by name.
            const unsigned char expected = b->notation == Notation::kInfix ? 0 : code;
            EXPECT_EQ(FindBinaryCode(BinaryCodeName(code)), expected) << b->name;
        } else {
            EXPECT_EQ(BinaryCodeName(code), "?") << c;
        }
    }
    EXPECT_EQ(binary, 18);
}

TEST(FunctionTraits, NamesMatchExactlyAndInTheirOwnTable) {
    EXPECT_EQ(FindBinaryCode("EQUAL"), code::kEqual);
    EXPECT_EQ(FindBinaryCode("ATAN2"), code::kAtan2);
    EXPECT_EQ(FindUnaryCode("U"), code::kStep);
    EXPECT_EQ(BinaryCodeName(code::kEqual), "EQUAL");
    EXPECT_EQ(BinaryCodeName(code::kGammP), "GAMMP");
    for (const char* name : {"EQUAL", "ATAN2", "SIN ", ""})
        EXPECT_EQ(FindUnaryCode(name), 0) << name;
    for (const char* name : {"SIN", "-", "atan2"}) EXPECT_EQ(FindBinaryCode(name), 0) << name;
}

// Simplification rewrites f(g(x)) as x when g's inverse undoes it, so a function marked so
// wrongly (ARCSIN(SIN(4)) is not 4) would change an equation's value. Elimination solves
// f(u) = y as u = inverse(y): for every y that f reaches, that u must satisfy the equation.
TEST(FunctionTraits, TheInverseSolvesItsEquationAndUndoesItExactlyWhereTheTableSaysSo) {
    for (const UnaryTraits* t : UnaryRows()) {
        if (t->inverse == 0) continue;
        bool undoneEverywhere = true;
        int defined = 0;
        for (double x : kSamples) {
            const std::optional<double> y = Value(t->code, x);
            if (!y) continue;
            ++defined;
            const std::optional<double> u = Value(t->inverse, *y);
            if (!u || !Near(*u, x)) undoneEverywhere = false;
            const std::optional<double> fu = u ? Value(t->code, *u) : std::nullopt;
            EXPECT_TRUE(fu && Near(*fu, *y)) << t->name << " = " << *y;
        }
        EXPECT_GT(defined, 2) << t->name;
        EXPECT_EQ(undoneEverywhere, t->inverseUndoes) << t->name;
    }
}

TEST(FunctionTraits, EvenOddAndPowerFunctionsAreWhatTheTableSays) {
    for (const UnaryTraits* t : UnaryRows()) {
        for (double x : kSamples) {
            const std::optional<double> plus = Value(t->code, x), minus = Value(t->code, -x);
            if (t->symmetry != Symmetry::kNone && plus && minus) {
                const double expected = t->symmetry == Symmetry::kEven ? *plus : -*plus;
                EXPECT_TRUE(Near(*minus, expected)) << t->name << " at " << x;
            }
            if (t->power != 0.0 && x > 0) {
                EXPECT_TRUE(plus && Near(*plus, std::pow(x, t->power))) << t->name << " at " << x;
            }
        }
    }
}
