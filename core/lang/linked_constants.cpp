#include <vector>

#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/parser.h"

// A check of the derivative phase over compiled code in parse form: where linked constants
// stand.

namespace {

const CodeNode* RunAfter(const CodeNode* operand) {
    const CodeNode* end = operand ? SubtreeEnd(operand) : nullptr;
    return end ? SkipDeleted(end->next) : nullptr;
}

}  // namespace

bool LinkedConstantsOnlyAsTerms(const CodeNode* list) {
    const CodeNode* top = SkipDeleted(list);
    int linked = 0;
    for (const CodeNode* n = top; n != nullptr; n = n->next) {
        if (n->kind == kKindConst && n->var > 0) ++linked;
    }
    if (linked == 0) return true;

    // Walk the top-level sum without recursion: a long sum is a deep tree.
    int asTerms = 0;
    std::vector<const CodeNode*> pending{top};
    while (!pending.empty()) {
        const CodeNode* n = pending.back();
        pending.pop_back();
        if (n == nullptr) continue;
        if (n->kind == kKindBinary && (n->sub == code::kAdd || n->sub == code::kSub)) {
            const CodeNode* right = SkipDeleted(n->next);
            pending.push_back(right);
            pending.push_back(RunAfter(right));
        } else if (n->kind == kKindUnary && n->sub == code::kNeg) {
            pending.push_back(SkipDeleted(n->next));
        } else if (n->kind == kKindConst && n->var > 0) {
            ++asTerms;
        }
    }
    return asTerms == linked;
}
