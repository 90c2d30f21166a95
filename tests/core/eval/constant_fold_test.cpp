#include "core/eval/constant_fold.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/code_builder.h"
#include "core/data_table.h"
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
    void ExpectFolds(const std::vector<data_table::Row>& rows) {
        for (const data_table::Row& row : rows) {
            CodeNode* list = FoldList(testcode::Postfix(s, row[0]));
            EXPECT_EQ(testcode::Text(s, list, true), row[1] + " ;") << "folding " << row[0];
            FreeList(s.pool, list);
        }
    }
};

TEST_F(ConstantFold, ConstantOperandsAreComputedAndIdentitiesApplied) {
    ExpectFolds(data_table::Read("constant_fold/computed"));
    ExpectFolds(data_table::Read("constant_fold/identities"));
}

TEST_F(ConstantFold, ComplexModeAndFailingFoldsLeaveCodeAlone) {
    s.message = "earlier message";
    ExpectFolds(data_table::Read("constant_fold/failing_real"));
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
