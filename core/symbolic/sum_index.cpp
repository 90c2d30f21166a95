#include "core/symbolic/sum_index.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/symbolic/differentiate.h"

namespace {

// Shorter chains are cheap enough to differentiate whole; indexing them would only add work
// to every small model.
constexpr std::size_t kFewestIndexedTerms = 4;

bool IsSumOperator(const CodeNode* n) {
    return n->kind == kKindBinary && (n->sub == code::kAdd || n->sub == code::kSub);
}

int Arity(const CodeNode* n) {
    if (n->kind == kKindBinary) return 2;
    return n->kind == kKindUnary ? 1 : 0;
}

// The left operand of every + and - of the run, found in one pass with a stack of the
// operators whose operands are still being read (in parse form the right operand comes
// first). Iterative, so a chain of any length is safe.
std::unordered_map<const CodeNode*, CodeNode*> LeftOperands(CodeNode* root) {
    struct Open {
        CodeNode* node;
        int started;
    };
    std::unordered_map<const CodeNode*, CodeNode*> left;
    std::vector<Open> open;
    const CodeNode* end = SubtreeEnd(root);
    for (CodeNode* m = root; m != nullptr; m = m->next) {
        if (m->kind == kKindDeleted) continue;
        if (!open.empty()) {
            Open& parent = open.back();
            if (++parent.started == 2 && IsSumOperator(parent.node)) left[parent.node] = m;
        }
        if (Arity(m) > 0) {
            open.push_back({m, 0});
        } else {
            while (!open.empty() && open.back().started == Arity(open.back().node)) open.pop_back();
        }
        if (m == end) break;
    }
    return left;
}

// Fills the chain whose top operator is `top`; false when a term's derivative does not fold to
// a zero, so the chain cannot be shortened safely.
bool BuildCluster(CoreState& s, CodeNode* top,
                  const std::unordered_map<const CodeNode*, CodeNode*>& left, SumCluster& c) {
    for (CodeNode* n = top;;) {
        c.terms.push_back(SkipDeleted(n->next));
        c.negated.push_back(n->sub == code::kSub ? 1 : 0);
        CodeNode* l = left.at(n);
        if (!IsSumOperator(l) || !left.count(l)) {
            c.terms.push_back(l);
            c.negated.push_back(0);
            break;
        }
        n = l;
    }
    std::reverse(c.terms.begin(), c.terms.end());
    std::reverse(c.negated.begin(), c.negated.end());
    if (c.terms.size() < kFewestIndexedTerms) return false;
    const CodeNode* last = SubtreeEnd(c.terms.front());
    if (last == nullptr) return false;
    c.after = last->next;

    c.positiveZerosUpTo.assign(1, 0);
    for (std::size_t i = 0; i < c.terms.size(); ++i) {
        double zero = 0.0;
        if (!DerivativeFoldsToZero(s, c.terms[i], c.negated[i] != 0, zero)) return false;
        c.positiveZerosUpTo.push_back(c.positiveZerosUpTo.back() + (std::signbit(zero) ? 0 : 1));
        const CodeNode* termEnd = SubtreeEnd(c.terms[i]);
        for (const CodeNode* m = c.terms[i]; m != nullptr; m = m->next) {
            if (m->kind == kKindVar && m->var > 0) {
                std::vector<int>& with = c.termsWith[m->var];
                if (with.empty() || with.back() != static_cast<int>(i)) {
                    with.push_back(static_cast<int>(i));
                }
            }
            if (m == termEnd) break;
        }
    }
    return true;
}

}  // namespace

void BuildSumIndex(CoreState& s, CodeNode* root, SumIndex& index, bool indexSums) {
    index.clusters.clear();
    root = SkipDeleted(root);
    index.rootNodes = 0;
    if (root == nullptr || SubtreeEnd(root) == nullptr) return;
    const CodeNode* end = SubtreeEnd(root);
    for (const CodeNode* m = root; m != nullptr; m = m->next) {
        if (m->kind != kKindDeleted) ++index.rootNodes;
        if (m == end) break;
    }
    if (!indexSums) return;
    const auto left = LeftOperands(root);
    std::unordered_set<const CodeNode*> inner;  // operators that continue a chain above them
    for (const auto& [op, l] : left) {
        if (IsSumOperator(l)) inner.insert(l);
    }
    for (const auto& [op, l] : left) {
        if (inner.count(op)) continue;
        SumCluster c;
        if (BuildCluster(s, const_cast<CodeNode*>(op), left, c)) {
            index.clusters.emplace(op, std::move(c));
        }
    }
}
