#include "core/symbolic/derivative_code.h"

#include <algorithm>

#include "core/base/core_state.h"
#include "core/eval/constant_fold.h"
#include "core/lang/code_string.h"
#include "core/symbolic/differentiate.h"

std::vector<int> VariablesIn(const CodeNode* code) {
    std::vector<int> found;
    for (const CodeNode* n = code; n != nullptr; n = n->next) {
        if (n->kind != kKindVar || n->var <= 0) continue;
        if (std::find(found.begin(), found.end(), n->var) == found.end()) found.push_back(n->var);
    }
    return found;
}

CodeNode* DerivativeCode(CoreState& s, CodeNode*& code, int variable, bool& failed) {
    const std::vector<int> present = VariablesIn(code);
    if (std::find(present.begin(), present.end(), variable) == present.end()) return nullptr;
    const bool stoppedBefore = s.flags.stop;
    CodeNode* head = ToPrefix(code);
    // In parse form the ';' that ends the code comes first; the expression follows it.
    CodeNode* root = (head != nullptr && head->kind == kKindEnd) ? head->next : head;
    CodeNode* d = MakeNode(s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
    bool halted = false;
    Differentiate(s, root, variable, d, &halted);
    code = ToPostfix(head);
    if (halted || (s.flags.stop && !stoppedBefore)) failed = true;
    // Built in evaluation form with the ';' last; folding wants parse form.
    d = Reverse(d);
    ConstantFold(s, d);
    return Finalize(s.pool, d);
}
