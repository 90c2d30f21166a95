#include "core/symbolic/differentiate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/lang/function_traits.h"
#include "symbolic_harness.h"

namespace {

constexpr int kX = SymbolicHarness::kX, kY = SymbolicHarness::kY;

class DifferentiateTest : public ::testing::Test {
   protected:
    SymbolicHarness h;
    std::vector<CodeNode*> lists;  // freed at the end of every test

    CodeNode* Keep(CodeNode* list) {
        lists.push_back(list);
        return list;
    }
    std::string D(const std::string& f, int v, bool fold = false) {
        return h.Text(Keep(h.Derive(Keep(h.Run(f)), v, fold)));
    }
    void TearDown() override {
        for (CodeNode* l : lists) FreeList(h.s.pool, l);
        EXPECT_EQ(h.s.pool.liveCount(), 0u);
    }
};

TEST_F(DifferentiateTest, TrivialTermsStayUntilFoldedAndPiIsKept) {
    EXPECT_EQ(D("x y *", kX), "1 y * x 0 * + ;");
    EXPECT_EQ(D("x y *", kX, true), "y ;");
    EXPECT_EQ(D("x y *", SymbolicHarness::kZ, true), "0 ;");
    EXPECT_EQ(D("x 3 ^", kX, true), "x 2 ^ 3 * ;");
    EXPECT_EQ(D("2 pi * x *", kX, true), "2 pi * ;");
    EXPECT_EQ(h.out, "");
}

// Every rule, with x * y (y = 0.7) inside to exercise the chain rule, against a central
// difference of the expression itself, folded and unfolded.
TEST_F(DifferentiateTest, EveryRuleMatchesACentralDifference) {
    const struct {
        const char* f;
        std::vector<double> xs;
        double step = 1e-5, tolerance = 1e-7;
    } rows[] = {
        // clang-format off
        {"x y * neg", {-1.5, 0.5}}, {"x y * REAL", {-1.5, 0.5}},
        {"x y * IMAG", {-1.5, 0.5}}, {"x y * CONJG", {-1.5, 0.5}},
        {"x y * SIN", {-1.5, 0.4, 3.5}}, {"x y * COS", {-1.5, 0.4, 3.5}},
        {"x y * TAN", {-1.5, 0.4, 1.7}}, {"x y * INV", {-3.0, 0.7, 4.0}},
        {"x y * SQUARE", {-3.0, 0.7, 4.0}}, {"x y * SQRT", {0.3, 1.5, 6.0}},
        {"x y * EXP", {-1.5, 0.7, 3.0}}, {"x y * LN", {0.3, 1.5, 7.0}},
        {"x y * ARCSIN", {-1.1, 0.2, 1.0}}, {"x y * ARCCOS", {-1.1, 0.2, 1.0}},
        {"x y * ARCTAN", {-3.0, 0.4, 6.0}}, {"x y * ERF", {-1.5, 0.3, 2.0}, 1e-3, 1e-5},
        {"x y * BESSJ0", {0.7, 3.0, 10.0, 16.0}, 1e-3, 1e-5},
        {"x y * BESSJ1", {0.7, 3.0, 10.0, 16.0}, 1e-3, 1e-5},
        {"x y * BESSY0", {0.7, 3.0, 10.0, 16.0}, 1e-3, 1e-5},
        {"x y * BESSY1", {0.7, 3.0, 10.0, 16.0}, 1e-3, 1e-5},
        {"x y * GAMMLN", {0.7, 3.5, 8.5, 57.0}, 1e-3, 1e-6},
        {"x y * ABS", {-3.0, -0.5, 0.5, 4.0}}, {"x y * U", {-1.5, 1.5}},
        {"x x * x SIN +", {-1.0, 0.5, 2.0}}, {"x x * x SIN -", {-1.0, 0.5, 2.0}},
        {"x x * x SIN *", {-1.0, 0.5, 2.0}}, {"x x * x 2 + /", {-1.0, 0.5, 2.0}},
        {"x 0.5 + x y * ^", {0.1, 1.0, 3.0}}, {"x y * x 2 - ATAN2", {-1.0, 0.5, 3.0, 5.0}},
        {"2.5 x y * GAMMP", {0.7, 3.0, 7.0}, 1e-2, 1e-3},
        {"x 1 > x x * x SIN THEN IF", {0.3, 2.0}},
        // clang-format on
    };
    for (const auto& r : rows) {
        CodeNode* f = Keep(h.Run(r.f));
        CodeNode* value = Keep(Finalize(h.s.pool, CopyList(h.s.pool, f)));
        CodeNode* raw = Keep(h.Derive(f, kX));
        CodeNode* folded = Keep(h.Derive(f, kX, true));
        for (double x : r.xs) {
            const double numeric =
                (h.At(value, x + r.step) - h.At(value, x - r.step)) / (2 * r.step);
            const double limit = r.tolerance * std::max(1.0, std::fabs(numeric));
            EXPECT_NEAR(h.At(raw, x), numeric, limit) << r.f << " at x = " << x;
            EXPECT_NEAR(h.At(folded, x), numeric, limit) << r.f << " folded, x = " << x;
        }
    }
    EXPECT_FALSE(h.s.flags.stop);
    EXPECT_EQ(h.out, "");
}

TEST_F(DifferentiateTest, FunctionWithoutRuleReportsAndGivesZero) {
    // The walk goes on after the failing run.
    EXPECT_EQ(D("x MAG y +", kY), "0 1 + ;");
    EXPECT_EQ(h.out,
              "\nDeriv of  Unary Function MAG Not Implemented\nUse Incremental Method\nError ...");
    EXPECT_TRUE(h.s.flags.stop);
    EXPECT_EQ(h.s.defaultShell.beeps, 1);
}

// The table says which codes have a rule and the differentiator's switch holds the rules. A
// code the table lets through without a rule must still be reported, not differentiated as 0
// (one it turns away despite a rule fails the central differences above).
TEST_F(DifferentiateTest, EveryCodeHasARuleExactlyWhereTheTableSaysSo) {
    auto reports = [&](CodeNode* run, bool restricted) {
        h.out.clear();
        h.s.flags.stop = false;
        CodeNode* d = MakeNode(h.s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
        if (restricted) {
            DifferentiateRestricted(h.s, run, kX, d);
        } else {
            Differentiate(h.s, run, kX, d);
        }
        Keep(d);
        return h.out.find("Not Implemented") != std::string::npos;
    };
    for (int c = 0; c < 256; ++c) {
        const auto code = static_cast<unsigned char>(c);
        if (const UnaryTraits* f = FindUnaryTraits(code)) {
            CodeNode* run = Keep(WrapUnary(h.s.pool, code, h.Run("x")));
            EXPECT_EQ(reports(run, false), f->derivative == Derivative::kNone) << f->name;
            EXPECT_EQ(reports(run, true), f->derivative != Derivative::kElementary) << f->name;
        }
        if (const BinaryTraits* f = FindBinaryTraits(code)) {
            CodeNode* run = Keep(WrapBinary(h.s.pool, code, h.Run("y"), h.Run("x")));
            EXPECT_EQ(reports(run, false), f->derivative == Derivative::kNone) << f->name;
            EXPECT_EQ(reports(run, true), f->derivative != Derivative::kElementary) << f->name;
        }
    }
}

}  // namespace
