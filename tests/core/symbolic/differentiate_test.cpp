#include "core/symbolic/differentiate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "core/data_table.h"
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

// Every rule against a central difference of the expression itself, folded and unfolded.
TEST_F(DifferentiateTest, EveryRuleMatchesACentralDifference) {
    for (const data_table::Row& r : data_table::Read("differentiate/central_differences", 4)) {
        const double step = std::stod(r[2]), tolerance = std::stod(r[3]);
        CodeNode* f = Keep(h.Run(r[0]));
        CodeNode* value = Keep(Finalize(h.s.pool, CopyList(h.s.pool, f)));
        CodeNode* raw = Keep(h.Derive(f, kX));
        CodeNode* folded = Keep(h.Derive(f, kX, true));
        std::istringstream xs(r[1]);
        for (double x; xs >> x;) {
            const double numeric = (h.At(value, x + step) - h.At(value, x - step)) / (2 * step);
            const double limit = tolerance * std::max(1.0, std::fabs(numeric));
            EXPECT_NEAR(h.At(raw, x), numeric, limit) << r[0] << " at x = " << x;
            EXPECT_NEAR(h.At(folded, x), numeric, limit) << r[0] << " folded, x = " << x;
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
