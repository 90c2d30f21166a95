#include "core/symbolic/sum_index.h"

#include <algorithm>
#include <cmath>

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

// A chain as the walk meets it: its operators from the top down, and the leftmost term.
struct Chain {
    std::vector<CodeNode*> operators;
    CodeNode* first = nullptr;
};

// The chains of + and - of the run, found in one pass with a stack of the operators whose
// operands are still being read (in parse form the right operand comes first, so an operator's
// left operand is met after everything on its right). Iterative, so a chain of any length is
// safe.
std::vector<Chain> SumChains(CodeNode* root) {
    struct Open {
        CodeNode* node;
        int started;
        int chain;  // the chain a + or - belongs to, else -1
    };
    std::vector<Chain> chains;
    std::vector<Open> open;
    const CodeNode* end = SubtreeEnd(root);
    for (CodeNode* m = root; m != nullptr; m = m->next) {
        if (m->kind == kKindDeleted) continue;
        int continued = -1;  // the chain whose left operand m is
        if (!open.empty()) {
            Open& parent = open.back();
            if (++parent.started == 2 && parent.chain >= 0) continued = parent.chain;
        }
        int chain = -1;
        if (IsSumOperator(m)) {
            chain = continued;
            if (chain < 0) {
                chain = static_cast<int>(chains.size());
                chains.emplace_back();
            }
            chains[static_cast<std::size_t>(chain)].operators.push_back(m);
        } else if (continued >= 0) {
            chains[static_cast<std::size_t>(continued)].first = m;
        }
        if (Arity(m) > 0) {
            open.push_back({m, 0, chain});
        } else {
            while (!open.empty() && open.back().started == Arity(open.back().node)) open.pop_back();
        }
        if (m == end) break;
    }
    return chains;
}

// Fills the cluster of a chain; false when a term's derivative does not fold to a zero, so the
// chain cannot be shortened safely.
bool BuildCluster(CoreState& s, const Chain& chain, SumCluster& c) {
    if (chain.first == nullptr || chain.operators.size() + 1 < kFewestIndexedTerms) return false;
    c.terms.push_back(chain.first);
    c.negated.push_back(0);
    for (std::size_t k = chain.operators.size(); k-- > 0;) {
        const CodeNode* op = chain.operators[k];
        c.terms.push_back(SkipDeleted(op->next));
        c.negated.push_back(op->sub == code::kSub ? 1 : 0);
    }
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
    std::size_t sumOperators = 0;
    for (const CodeNode* m = root; m != nullptr; m = m->next) {
        if (m->kind != kKindDeleted) ++index.rootNodes;
        if (IsSumOperator(m)) ++sumOperators;
        if (m == end) break;
    }
    // Too few operators to form one indexed chain: the common small equation pays one walk.
    if (!indexSums || sumOperators + 1 < kFewestIndexedTerms) return;
    for (const Chain& chain : SumChains(root)) {
        SumCluster c;
        if (BuildCluster(s, chain, c)) index.clusters.emplace(chain.operators.front(), std::move(c));
    }
}
