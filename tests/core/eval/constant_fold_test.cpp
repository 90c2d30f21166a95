#include "core/eval/constant_fold.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/code_builder.h"
#include "core/eval/evaluator.h"

namespace {

struct ConstantFold : ::testing::Test, testcode::ConsoleCore {
    void TearDown() override { EXPECT_EQ(s.pool.liveCount(), 0u) << "code nodes leaked"; }

    // Folds an evaluation-form list as compiled equations are folded: to parse form, fold,
    // finalize.
    CodeNode* FoldList(CodeNode* postfix) {
        CodeNode* list = ToPrefix(postfix);
        ::ConstantFold(s, list);
        return Finalize(s.pool, list);
    }
    // Each postfix text folds to the given postfix text.
    void ExpectFolds(const std::vector<std::pair<const char*, std::string>>& rows) {
        for (const auto& [in, folded] : rows) {
            CodeNode* list = FoldList(testcode::Postfix(s, in));
            EXPECT_EQ(testcode::Text(s, list, true), folded + " ;") << "folding " << in;
            FreeList(s.pool, list);
        }
    }
};

// clang-format off
TEST_F(ConstantFold, ConstantOperandsAreComputed) {
    // Constant operands are computed by the evaluator's own arithmetic: the rows check that the
    // folder hands them over in order and leaves what must stay.
    ExpectFolds({
        {"2 x 3 * *", "6 x *"}, {"x x -", "0"}, {"1 y /", "y INV"}, {"x 0 /", "1e+50"},
        {"2 3 -", "-1"}, {"6 4 /", "1.5"}, {"2 neg", "-2"}, {"5 3 <", "-2"}, {"4 INV", "0.25"},
        {"-1 U", "0"}, {"x SIN", "x SIN"}, {"1 1 ATAN2", "0.7853981634"},
        {"2 3 + SIN neg", "0.9589242747"},
        {"1e40 1e20 *", "1e+50"},  // clipped like an evaluation
        {"1 2 + 3 4 + *", "21"}, {"x 2 3 + *", "x 5 *"}, {"2 2 THEN", "2"},
        {"1 2 THEN", "1 2 THEN"},  // only equal branches merge
        {"1 2 LIM", "1 2 LIM"}, {"1 2 @", "1 2 @"},  // limits and phasors are never computed
        {"j:2 3 +", "j:2 3 +"}, {"pi 1 +", "pi 1 +"}, {"j:1 neg", "j:1 neg"},  // nor non-plain
        {"3 MAG", "0"},  // a real number has no imaginary part to measure
    });
}

TEST_F(ConstantFold, IdentitiesOfTheOperators) {
    ExpectFolds({
        {"x 0 *", "0"}, {"x y + 0 *", "0"}, {"j:0 x *", "j:0"}, {"1 x *", "x"},
        {"x -1 *", "x neg"}, {"-1 x y + *", "x y + neg"}, {"x 3 * 2 *", "x 6 *"},
        {"3 x * 2 *", "x 6 *"}, {"x y * 2 *", "x y * 2 *"}, {"0 x +", "x"}, {"x 1 +", "x 1 +"},
        {"x 0 -", "x"}, {"0 x -", "x neg"}, {"x y neg -", "x y +"}, {"x 2 3 - -", "x -1 -"},
        {"x y + 0 /", "1e+50"}, {"0 x /", "0"}, {"1 x y + /", "x y + INV"}, {"x 1 /", "x"},
        {"x 2 /", "x 2 /"}, {"x 0 ^", "1"}, {"0 x ^", "0"}, {"1 x ^", "1"}, {"x 1 ^", "x"},
        {"x 2 ^", "x 2 ^"},
        // IF c THEN a ELSE b in evaluation order: c a b THEN IF; the condition is never decided.
        {"x 1 1 THEN IF", "1"}, {"x 3 1 2 + THEN IF", "3"}, {"x 1 2 THEN IF", "x 1 2 THEN IF"},
        {"0 1 2 THEN IF", "0 1 2 THEN IF"},
    });
}
// clang-format on

TEST_F(ConstantFold, ComplexModeAndFailingFoldsLeaveCodeAlone) {
    s.message = "earlier message";
    // clang-format off
    ExpectFolds({{"-1 LN", "-1 LN"}, {"0 INV", "0 INV"}, {"-1 SQRT", "-1 SQRT"},
                 {"2 ARCSIN", "2 ARCSIN"}, {"-8 1 3 / ^ 2 +", "-8 0.3333333333 ^ 2 +"}});
    // clang-format on
    EXPECT_EQ(s.message, "earlier message");
    EXPECT_EQ(out, "") << "a refused fold is silent";
    s.k.arithmetic = Arithmetic::kComplex;
    ExpectFolds({{"3 MAG", "3 MAG"}, {"-3 ANGLE", "-3 ANGLE"}, {"0 SIN", "0"}});
}

TEST_F(ConstantFold, ReturnsTheFirstNodeNotRemoved) {
    CodeNode* list = testcode::Prefix(s, "2 3 + SIN x 0 + *");  // * + 0 x SIN + 3 2
    CodeNode* sine = list->next->next->next->next;
    EXPECT_EQ(::ConstantFold(s, list->next), list->next->next->next) << "the x of x + 0";
    CodeNode* folded = ::ConstantFold(s, sine);
    EXPECT_EQ(SkipDeleted(sine), folded) << "SIN folded into its last node";
    EXPECT_EQ(testcode::Text(s, list), "* x -0.9589242747");
    FreeList(s.pool, list);
}

// Random sums and products of x, y and small constants: their values are exact in binary,
// so folding must not change them at all.
TEST_F(ConstantFold, FoldedCodeEvaluatesToTheSameValues) {
    std::mt19937 rng(20240611);
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    auto make = [&pick](auto& self, int depth) -> std::string {
        static const char* const kLeaves[] = {"x", "y", "x", "y", "0", "1", "-1", "2", "3"};
        static const char* const kOps[] = {" +", " -", " *", " *"};
        const int choice = pick(depth == 0 ? 8 : 13);
        if (choice < 8) return kLeaves[pick(9)];
        if (choice == 8) return self(self, depth - 1) + " neg";
        const std::string left = self(self, depth - 1);
        return left + " " + self(self, depth - 1) + kOps[choice - 9];
    };
    int shrunk = 0;
    for (int i = 0; i < 60; ++i) {
        const std::string text = make(make, 4);
        CodeNode* original = testcode::Postfix(s, text);
        CodeNode* folded = FoldList(CopyList(s.pool, original));
        shrunk += CountNodes(folded) < CountNodes(original);
        for (const auto& [x, y] : {std::pair{1.25, -0.75}, {-2.5, 3.5}, {0.375, 0.0}}) {
            testcode::SetVar(s, "x", x);
            testcode::SetVar(s, "y", y);
            bool e1 = true, e2 = true;
            EXPECT_EQ(Evaluate(s, folded, e2), Evaluate(s, original, e1))
                << text << " folded to " << testcode::Text(s, folded) << " at x=" << x;
            EXPECT_FALSE(e1 || e2) << text;
        }
        FreeList(s.pool, original);
        FreeList(s.pool, folded);
    }
    EXPECT_GT(shrunk, 10) << "the expressions should give folding something to do";
}

}  // namespace
