#include "core/symbolic/sum_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/eval/constant_fold.h"
#include "core/lang/code_string.h"
#include "core/lang/expression_generator.h"
#include "core/lang/parser_harness.h"
#include "core/symbolic/differentiate.h"
#include "core/symbolic/derivative_code.h"

namespace {

// Folded derivative of a parse-form run, with the index or without, in parse form after its ';'.
CodeNode* Folded(CoreState& s, CodeNode* root, int v, const SumIndex* sums) {
    CodeNode* d = MakeNode(s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
    if (sums != nullptr) {
        Differentiate(s, root, v, *sums, d);
    } else {
        Differentiate(s, root, v, d);
    }
    d = Reverse(d);
    ConstantFold(s, d);
    return d;
}

// Node by node, the sign of a zero included: the file writes "-0.0...E+00" for a negative one.
::testing::AssertionResult SameCode(const CodeNode* a, const CodeNode* b) {
    for (;;) {
        a = SkipDeleted(a);
        b = SkipDeleted(b);
        if (a == nullptr || b == nullptr) break;
        const bool same = a->kind == b->kind && a->sub == b->sub && a->var == b->var &&
                          (a->value == b->value || (std::isnan(a->value) && std::isnan(b->value))) &&
                          std::signbit(a->value) == std::signbit(b->value);
        if (!same) return ::testing::AssertionFailure() << "nodes differ";
        a = a->next;
        b = b->next;
    }
    if (a != b) return ::testing::AssertionFailure() << "lengths differ";
    return ::testing::AssertionSuccess();
}

// Terms whose derivatives fold to zeros of either sign, to constants, or to nothing at all.
std::string SmallTerm(ExpressionGenerator& g) {
    const char* terms[] = {"-(3)", "0*x", "x*0", "-x", "2", "0", "-(0)", "y - y", "-(z)*0"};
    return terms[g.Pick(9)];
}

// Sums of 1 to 14 terms, mixing generated expressions and small terms, joined by + and -.
std::string SumEquation(ExpressionGenerator& g) {
    std::string text;
    const int terms = 1 + g.Pick(14);
    for (int i = 0; i < terms; ++i) {
        if (i > 0) text += g.Pick(2) ? " + " : " - ";
        const int pick = g.Pick(3);
        text += pick == 0 ? SmallTerm(g) : pick == 1 ? "(" + g.Expression(2) + ")" : g.Expression(1);
    }
    return text + " = 0;\n";
}

// What differentiating an equation for each of its variables leaves: the folded derivatives
// and what the folds wrote (an overflow of EXP is reported once until an EXP in range).
struct Derivatives {
    std::vector<CodeNode*> codes;
    std::string console;
    bool overflowReported = false;
};

Derivatives DeriveAll(ParserHarness& h, CodeNode* head, bool indexed) {
    CodeNode* root = head->kind == kKindEnd ? head->next : head;
    h.out.clear();
    h.s.eval.expOverflowReported = false;
    SumIndex sums;
    if (indexed) BuildSumIndex(h.s, root, sums);
    Derivatives d;
    for (int v : VariablesIn(head)) d.codes.push_back(Folded(h.s, root, v, indexed ? &sums : nullptr));
    d.console = h.out;
    d.overflowReported = h.s.eval.expOverflowReported;
    return d;
}

TEST(SumIndex, IndexedDerivativesFoldToExactlyWhatThePlainRulesGive) {
    ExpressionGenerator generator(31, true);
    int compared = 0, indexed = 0;
    for (int document = 0; document < 150; ++document) {
        std::string text;
        for (int i = 0; i < 6; ++i) text += SumEquation(generator);
        ParserHarness h;
        ASSERT_TRUE(h.Compile(text)) << text;
        for (int e = 1; e <= h.s.model.count; ++e) {
            Equation& eq = h.s.model.eq[e];
            CodeNode* head = ToPrefix(eq.code);
            const Derivatives plain = DeriveAll(h, head, false);
            const Derivatives fast = DeriveAll(h, head, true);
            EXPECT_EQ(fast.console, plain.console) << text;
            EXPECT_EQ(fast.overflowReported, plain.overflowReported) << text;
            ASSERT_EQ(fast.codes.size(), plain.codes.size());
            for (std::size_t k = 0; k < plain.codes.size(); ++k, ++compared) {
                EXPECT_TRUE(SameCode(plain.codes[k], fast.codes[k]))
                    << "equation " << e << " of\n"
                    << text << testcode::Text(h.s, plain.codes[k]) << "\n"
                    << testcode::Text(h.s, fast.codes[k]);
                FreeList(h.s.pool, plain.codes[k]);
                FreeList(h.s.pool, fast.codes[k]);
            }
            SumIndex sums;
            BuildSumIndex(h.s, head->next, sums);
            indexed += sums.clusters.empty() ? 0 : 1;
            eq.code = ToPostfix(head);
        }
    }
    EXPECT_GT(compared, 1500);
    EXPECT_GT(indexed, 100);
}

// A term without a derivative rule keeps the whole sum on the plain rules, so its message
// appears as often as it always did.
TEST(SumIndex, SumWithATermWithoutARuleIsNotIndexed) {
    ParserHarness h;
    ASSERT_TRUE(h.Compile("x + MAG(y) + 2*z + x*y + 3 = 0;\n"));
    h.out.clear();
    CodeNode* head = ToPrefix(h.s.model.eq[1].code);
    SumIndex sums;
    BuildSumIndex(h.s, head->next, sums);
    EXPECT_TRUE(sums.clusters.empty());
    EXPECT_EQ(h.out, "");
    EXPECT_FALSE(h.s.flags.stop);
    h.s.model.eq[1].code = ToPostfix(head);
}

}  // namespace
