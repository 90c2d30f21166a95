#include "core/lang/code_string.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/code_builder.h"
#include "core/eval/evaluator.h"

namespace {

using testcode::Build;
using testcode::Prefix;
using testcode::Text;

// A core with x = 10 and y = 4 whose pool must be empty again when the test ends.
struct CodeString : ::testing::Test {
    CoreState s;
    CodeString() {
        testcode::SetVar(s, "x", 10);
        testcode::SetVar(s, "y", 4);
    }
    void TearDown() override { EXPECT_EQ(s.pool.liveCount(), 0u) << "code nodes leaked"; }
    double EvalAndFree(CodeNode* list) {
        bool error = true;
        const double v = Evaluate(s, list, error);
        EXPECT_FALSE(error) << s.message;
        FreeList(s.pool, list);
        return v;
    }
};

TEST_F(CodeString, ConversionsBetweenParseAndEvaluationForm) {
    CodeNode* list = Finalize(s.pool, Prefix(s, "x 2 y * -"));  // as the parser leaves x = 2y
    EXPECT_EQ(Text(s, list), "x 2 y * - ;");
    const std::size_t live = s.pool.liveCount();
    list = Finalize(s.pool, list);  // twice: the old ';' goes before the new one is added
    EXPECT_EQ(s.pool.liveCount(), live);
    CodeNode* prefix = ToPrefix(list);
    EXPECT_EQ(Text(s, prefix, true), "; - * y 2 x");
    EXPECT_EQ(ToPrefix(prefix), prefix) << "a list starting with ';' is already in parse form";
    list = ToPostfix(prefix);
    EXPECT_EQ(ToPostfix(list), list);
    EXPECT_EQ(Text(s, list, true), "x 2 y * - ;");
    EXPECT_EQ(EvalAndFree(list), 2.0);

    CodeNode* bare = Prefix(s, "a b +");  // no end node: an operator at the head is parse form
    EXPECT_EQ(ToPrefix(bare), bare);
    list = ToPostfix(bare);
    EXPECT_EQ(Text(s, list), "a b +");
    EXPECT_EQ(ToPostfix(list), list);
    FreeList(s.pool, list);

    list = Finalize(s.pool, Build(s, "; - ~ y ~ ~ x ~"));  // deleted nodes and an old end
    EXPECT_EQ(Text(s, list, true), "x y - ;");
    EXPECT_EQ(s.pool.liveCount(), 4u);
    FreeList(s.pool, list);
}

TEST_F(CodeString, SubtreeEndFindsTheEndOfEachRun) {
    // Parse form of (a + SIN b) * c with deleted nodes scattered through it, then a stray z.
    CodeNode* list = Build(s, "* ~ c + ~ SIN ~ b a ~ z ; + y");
    std::vector<CodeNode*> n;
    for (CodeNode* p = list; p != nullptr; p = p->next) n.push_back(p);
    // {start, end}: the product and the sum end at a; a deleted start is skipped; SIN ends at
    // b past a deleted node; a variable is its own run; an end node or '+ y' has no end.
    for (const auto& [start, end] : {std::pair{0, 8}, {1, 2}, {2, 2}, {3, 8}, {5, 7}, {10, 10}}) {
        EXPECT_EQ(SubtreeEnd(n[start]), n[end]) << "run from node " << start;
    }
    EXPECT_EQ(SubtreeEnd(n[11]), nullptr);
    EXPECT_EQ(SubtreeEnd(n[12]), nullptr);
    EXPECT_EQ(SkipDeleted(n[1]), n[2]);
    EXPECT_EQ(CountNodes(list), 10);
    FreeList(s.pool, list);
}

TEST_F(CodeString, CopiesAndReplacements) {
    CodeNode* list = Build(s, "- ~ * y ~ 2 x");
    CodeNode* copy = CopySubtree(s.pool, list->next);  // skips to the product
    EXPECT_EQ(Text(s, copy, true), "* y 2");
    EXPECT_EQ(s.pool.liveCount(), 10u);
    FreeList(s.pool, copy);
    copy = CopyList(s.pool, list);
    EXPECT_EQ(Text(s, copy, true), "- ~ * y ~ 2 x") << "CopyList copies deleted nodes too";
    FreeList(s.pool, copy);
    FreeList(s.pool, list);

    list = Prefix(s, "x 2 y * -");  // - * y 2 x
    CodeNode* place = list->next;   // the product
    ReplaceSubtree(s.pool, place, Prefix(s, "z neg"));
    EXPECT_EQ(list->next, place) << "links into the replaced run stay valid";
    EXPECT_EQ(Text(s, list), "- neg z x");
    EXPECT_EQ(s.pool.liveCount(), 4u) << "old run and replacement head freed";
    ReplaceSubtree(s.pool, place, Build(s, "7"));
    EXPECT_EQ(list->next, place);
    EXPECT_EQ(EvalAndFree(Finalize(s.pool, list)), 3.0);
}

TEST_F(CodeString, PoolReusesFreedNodes) {
    constexpr int kCount = 3000;  // spans several storage blocks
    std::set<CodeNode*> built;
    for (int round = 0; round < 2; ++round) {
        CodeNode* list = nullptr;
        for (int i = 0; i < kCount; ++i) {
            list = MakeNode(s.pool, kKindConst, ' ', 0, i, 0, list);
            if (round == 0)
                built.insert(list);
            else
                EXPECT_EQ(built.count(list), 1u) << "fresh storage used";
        }
        FreeList(s.pool, list);
        EXPECT_EQ(s.pool.liveCount(), 0u);
    }
    EXPECT_EQ(built.size(), static_cast<std::size_t>(kCount));
}

TEST_F(CodeString, VeryLongListsAreWalkedWithoutRecursion) {
    constexpr int kTerms = 50000;
    // Parse form of -(((x + x) + x) + ...), 100000 nodes, built by prepending as the parser does.
    CodeNode* list = VarNode(s.pool, 1);
    CodeNode* const last = list;
    for (int i = 1; i < kTerms; ++i) {
        list = MakeNode(s.pool, kKindVar, kSubPlain, 1, 0.0, 0, list);
        list = MakeNode(s.pool, kKindBinary, '+', 0, 0.0, 0, list);
    }
    list = WrapUnary(s.pool, code::kNeg, list);
    EXPECT_EQ(SubtreeEnd(list), last);
    EXPECT_EQ(SubtreeEnd(list->next->next), list->next->next) << "the right operand x";
    CodeNode* copy = CopySubtree(s.pool, list);
    EXPECT_EQ(CountNodes(copy), 2 * kTerms);
    FreeList(s.pool, copy);
    EXPECT_EQ(EvalAndFree(Finalize(s.pool, list)), -10.0 * kTerms);
}

}  // namespace
