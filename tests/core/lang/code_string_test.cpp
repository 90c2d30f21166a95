#include "core/lang/code_string.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/code_builder.h"
#include "core/eval/evaluator.h"
#include "core/run/core_state.h"

namespace {

using testcode::Build;
using testcode::Postfix;
using testcode::Prefix;
using testcode::Text;

// A core whose pool must be empty again when the test ends.
struct CodeString : ::testing::Test {
    CoreState s;
    void TearDown() override { EXPECT_EQ(s.pool.liveCount(), 0u) << "code nodes leaked"; }
    std::vector<const CodeNode*> Nodes(const CodeNode* list) {
        std::vector<const CodeNode*> out;
        for (; list != nullptr; list = list->next) out.push_back(list);
        return out;
    }
};

struct NodeShape {
    char kind;
    unsigned char sub;
    int var;
    double value;
};

void ExpectShape(const CodeNode* list, const std::vector<NodeShape>& want) {
    std::size_t i = 0;
    for (; list != nullptr && i < want.size(); list = list->next, ++i) {
        EXPECT_EQ(list->kind, want[i].kind) << "node " << i;
        EXPECT_EQ(list->sub, want[i].sub) << "node " << i;
        EXPECT_EQ(list->var, want[i].var) << "node " << i;
        EXPECT_EQ(list->value, want[i].value) << "node " << i;
        EXPECT_EQ(list->mark, 0) << "node " << i;
    }
    EXPECT_EQ(i, want.size()) << "list too short";
    EXPECT_EQ(list, nullptr) << "list too long";
}

TEST_F(CodeString, ParseAndEvaluationFormsOfXMinusTwoY) {
    const int x = testcode::Var(s, "x"), y = testcode::Var(s, "y");
    // The parser prepends every node it makes: x, then 2, y, the product, the difference.
    CodeNode* list = MakeNode(s.pool, kKindVar, kSubPlain, x, 0.0, 0, nullptr);
    list = MakeNode(s.pool, kKindConst, kSubPlain, 0, 2.0, 0, list);
    list = MakeNode(s.pool, kKindVar, kSubPlain, y, 0.0, 0, list);
    list = MakeNode(s.pool, kKindBinary, '*', 0, 0.0, 0, list);
    list = MakeNode(s.pool, kKindBinary, '-', 0, 0.0, 0, list);
    ExpectShape(list, {{'B', '-', 0, 0}, {'B', '*', 0, 0}, {'X', ' ', y, 0}, {'V', ' ', 0, 2},
                       {'X', ' ', x, 0}});
    EXPECT_EQ(SubtreeEnd(list)->var, x);
    EXPECT_EQ(SubtreeEnd(list->next), list->next->next->next);  // '*' ends at the 2

    list = Finalize(s.pool, list);
    ExpectShape(list, {{'X', ' ', x, 0}, {'V', ' ', 0, 2}, {'X', ' ', y, 0}, {'B', '*', 0, 0},
                       {'B', '-', 0, 0}, {';', ' ', 0, 0}});
    EXPECT_EQ(Text(s, list), "x 2 y * - ;");

    s.names.value[x] = 4;
    s.names.value[y] = 1;
    bool error = true;
    EXPECT_EQ(Evaluate(s, list, error), 2.0);
    EXPECT_FALSE(error);
    FreeList(s.pool, list);
}

TEST_F(CodeString, FinalizeTwiceGivesTheSameList) {
    CodeNode* list = Finalize(s.pool, Prefix(s, "a b c * + SIN"));
    const std::string once = Text(s, list, true);
    const std::size_t live = s.pool.liveCount();
    list = Finalize(s.pool, list);
    EXPECT_EQ(Text(s, list, true), once);
    EXPECT_EQ(once, "a b c * + SIN ;");
    EXPECT_EQ(s.pool.liveCount(), live) << "the old ';' must be freed before the new one is added";
    FreeList(s.pool, list);
}

TEST_F(CodeString, FinalizeStripsDeletedNodesAndOldEnds) {
    // Parse form with deleted nodes inside and an end node at its head, as after folding.
    CodeNode* list = Build(s, "; - ~ y ~ ~ x ~");
    list = Finalize(s.pool, list);
    EXPECT_EQ(Text(s, list, true), "x y - ;");
    EXPECT_EQ(s.pool.liveCount(), 4u);
    FreeList(s.pool, list);
}

TEST_F(CodeString, PrefixAndPostfixConversionsAreIdempotent) {
    CodeNode* eval = Postfix(s, "x 2 y * -");
    CodeNode* prefix = ToPrefix(eval);
    EXPECT_EQ(Text(s, prefix), "; - * y 2 x");
    EXPECT_EQ(ToPrefix(prefix), prefix) << "a list starting with ';' is already in parse form";
    CodeNode* back = ToPostfix(prefix);
    EXPECT_EQ(back, eval);
    EXPECT_EQ(ToPostfix(back), back);
    EXPECT_EQ(Text(s, back), "x 2 y * - ;");

    // Without an end node: an operator at the head means parse form.
    CodeNode* bare = Prefix(s, "a b +");
    EXPECT_EQ(ToPrefix(bare), bare);
    CodeNode* post = ToPostfix(bare);
    EXPECT_EQ(Text(s, post), "a b +");
    EXPECT_EQ(ToPostfix(post), post);
    EXPECT_EQ(ToPrefix(nullptr), nullptr);
    EXPECT_EQ(ToPostfix(nullptr), nullptr);
    EXPECT_EQ(Reverse(nullptr), nullptr);
    FreeList(s.pool, back);
    FreeList(s.pool, post);
}

TEST_F(CodeString, SubtreeEndFindsTheEndOfEachRun) {
    // Parse form of (a + SIN b) * c with deleted nodes scattered through it, then a stray z.
    CodeNode* list = Build(s, "* ~ c + ~ SIN ~ b a ~ z");
    const auto n = Nodes(list);
    ASSERT_EQ(n.size(), 11u);
    struct Row {
        int start, end;  // node positions; -1 for "no end"
    } rows[] = {
        {0, 8},   // the product ends at its left operand's end, a
        {1, 2},   // a deleted start is skipped: the run is c
        {2, 2},   // a variable is its own run
        {3, 8},   // the sum ends at its left operand a
        {5, 7},   // SIN ends at b, past a deleted node
        {10, 10},
    };
    for (const Row& r : rows) {
        const CodeNode* end = SubtreeEnd(n[r.start]);
        EXPECT_EQ(end, n[r.end]) << "run from node " << r.start;
    }
    CodeNode* endNode = Build(s, ";");
    EXPECT_EQ(SubtreeEnd(endNode), nullptr);
    CodeNode* incomplete = Build(s, "+ y");
    EXPECT_EQ(SubtreeEnd(incomplete), nullptr);
    EXPECT_EQ(SkipDeleted(n[1]), n[2]);
    EXPECT_EQ(SkipDeleted(endNode), nullptr);
    EXPECT_EQ(CountNodes(list), 7);
    FreeList(s.pool, list);
    FreeList(s.pool, endNode);
    FreeList(s.pool, incomplete);
}

TEST_F(CodeString, CopySubtreeCopiesOneRunWithoutDeletedNodes) {
    CodeNode* list = Build(s, "- ~ * y ~ 2 x");
    CodeNode* product = list->next->next;
    const std::string before = Text(s, list, true);
    const std::size_t live = s.pool.liveCount();

    CodeNode* copy = CopySubtree(s.pool, product);
    EXPECT_EQ(Text(s, copy, true), "* y 2");
    EXPECT_EQ(s.pool.liveCount(), live + 3);
    EXPECT_EQ(Text(s, list, true), before) << "the original stays as it was";
    for (const CodeNode* c = copy; c != nullptr; c = c->next) {
        for (const CodeNode* o = list; o != nullptr; o = o->next) EXPECT_NE(c, o);
    }
    CodeNode* fromDeleted = CopySubtree(s.pool, list->next);  // skips to the product
    EXPECT_EQ(Text(s, fromDeleted, true), "* y 2");

    CodeNode* whole = CopyList(s.pool, list);
    EXPECT_EQ(Text(s, whole, true), before) << "CopyList copies every node, deleted ones too";
    FreeList(s.pool, copy);
    FreeList(s.pool, fromDeleted);
    FreeList(s.pool, whole);
    FreeList(s.pool, list);
}

TEST_F(CodeString, ReplaceSubtreeKeepsTheHeadNode) {
    CodeNode* list = Prefix(s, "x 2 y * -");  // - * y 2 x
    CodeNode* place = list->next;              // the product
    ReplaceSubtree(s.pool, place, Prefix(s, "z neg"));
    EXPECT_EQ(list->next, place) << "links into the replaced run stay valid";
    EXPECT_EQ(place->kind, kKindUnary);
    EXPECT_EQ(place->sub, code::kNeg);
    EXPECT_EQ(Text(s, list), "- neg z x");
    EXPECT_EQ(s.pool.liveCount(), 4u) << "old run and replacement head freed";

    ReplaceSubtree(s.pool, place, testcode::Build(s, "7"));
    EXPECT_EQ(list->next, place);
    EXPECT_EQ(Text(s, list), "- 7 x");
    EXPECT_EQ(s.pool.liveCount(), 3u);

    list = Finalize(s.pool, list);
    testcode::SetVar(s, "x", 10);
    bool error = false;
    EXPECT_EQ(Evaluate(s, list, error), 3.0);
    FreeList(s.pool, list);
}

TEST_F(CodeString, WrapBinaryPutsTheFirstRunOnTheRight) {
    testcode::SetVar(s, "x", 10);
    testcode::SetVar(s, "y", 4);
    // a is the right operand, b the left: the result computes b op a.
    CodeNode* wrapped = WrapBinary(s.pool, '-', Prefix(s, "y 2 *"), Prefix(s, "x"));
    EXPECT_EQ(Text(s, wrapped), "- * 2 y x");
    CodeNode* quotient = WrapBinary(s.pool, '/', VarNode(s.pool, 2), wrapped);
    CodeNode* negated = WrapUnary(s.pool, code::kNeg, quotient);
    CodeNode* list = Finalize(s.pool, negated);
    EXPECT_EQ(Text(s, list), "x y 2 * - y / neg ;");
    bool error = false;
    EXPECT_DOUBLE_EQ(Evaluate(s, list, error), -(10.0 - 8.0) / 4.0);
    FreeList(s.pool, list);
}

TEST_F(CodeString, FreshNodesAreSingleDetachedNodes) {
    struct Row {
        CodeNode* node;
        char kind;
        unsigned char sub;
        int var;
        double value;
        bool plain;
    } rows[] = {
        {ZeroNode(s.pool), 'V', ' ', 0, 0.0, true},
        {OneNode(s.pool), 'V', ' ', 0, 1.0, true},
        {TwoNode(s.pool), 'V', ' ', 0, 2.0, true},
        {ImaginaryOne(s.pool), 'V', kSubImaginary, 0, 1.0, false},
        {ConstNode(s.pool, -3.5), 'V', ' ', 0, -3.5, true},
        {VarNode(s.pool, 7), 'X', ' ', 7, 0.0, false},
    };
    for (const Row& r : rows) {
        ExpectShape(r.node, {{r.kind, r.sub, r.var, r.value}});
        EXPECT_EQ(IsPlainConst(r.node), r.plain) << r.kind << " " << r.value;
        FreeList(s.pool, r.node);
    }
    CodeNode* tied = MakeNode(s.pool, kKindConst, kSubPlain, 3, 1.0, 0, nullptr);
    EXPECT_FALSE(IsPlainConst(tied)) << "a constant tied to a variable is not a plain number";
    EXPECT_FALSE(IsPlainConstValue(tied, 1.0));
    FreeList(s.pool, tied);
}

TEST_F(CodeString, PoolReusesFreedNodes) {
    constexpr int kCount = 3000;  // spans several storage blocks
    CodeNode* list = nullptr;
    for (int i = 0; i < kCount; ++i) list = MakeNode(s.pool, kKindConst, ' ', 0, i, 0, list);
    EXPECT_EQ(s.pool.liveCount(), static_cast<std::size_t>(kCount));
    const std::vector<const CodeNode*> nodes = Nodes(list);
    const std::set<const CodeNode*> built(nodes.begin(), nodes.end());
    EXPECT_EQ(built.size(), static_cast<std::size_t>(kCount));
    FreeList(s.pool, list);
    EXPECT_EQ(s.pool.liveCount(), 0u);
    list = nullptr;
    for (int i = 0; i < kCount; ++i) list = MakeNode(s.pool, kKindConst, ' ', 0, i, 0, list);
    for (const CodeNode* n : Nodes(list)) EXPECT_EQ(built.count(n), 1u) << "fresh storage used";
    FreeList(s.pool, list);
}

TEST_F(CodeString, VeryLongListsAreWalkedWithoutRecursion) {
    constexpr int kTerms = 50000;
    const int x = testcode::Var(s, "x");
    s.names.value[x] = 1;
    // Parse form of -(((x + x) + x) + ...): "neg + x + x ... + x x", 100000 nodes. Built by
    // prepending the postfix tokens x, then x + repeatedly, as the parser does.
    CodeNode* list = VarNode(s.pool, x);
    CodeNode* const last = list;
    for (int i = 1; i < kTerms; ++i) {
        list = MakeNode(s.pool, kKindVar, kSubPlain, x, 0.0, 0, list);
        list = MakeNode(s.pool, kKindBinary, '+', 0, 0.0, 0, list);
    }
    list = WrapUnary(s.pool, code::kNeg, list);
    ASSERT_EQ(CountNodes(list), 2 * kTerms);

    EXPECT_EQ(SubtreeEnd(list), last);
    EXPECT_EQ(SubtreeEnd(list->next), last);
    EXPECT_EQ(SubtreeEnd(list->next->next), list->next->next) << "the right operand x";

    CodeNode* copy = CopySubtree(s.pool, list);
    EXPECT_EQ(CountNodes(copy), 2 * kTerms);
    FreeList(s.pool, copy);

    list = Finalize(s.pool, list);
    bool error = true;
    EXPECT_EQ(Evaluate(s, list, error), -static_cast<double>(kTerms));
    EXPECT_FALSE(error) << s.message;
    FreeList(s.pool, list);
}

}  // namespace
