#include "core/drive/time_steps.h"

#include "core/base/core_state.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"

namespace {

int TiedVariable(const CoreState& s, const CodeNode* n) {
    if (n->kind != kKindConst || n->var == 0) return 0;
    const int v = n->var < 0 ? -n->var : n->var;
    return v <= s.names.variableCount ? v : 0;
}

// The variable of an equation whose code is exactly "variable - tied constant", else 0.
int FixedVariable(const CoreState& s, const CodeNode* code) {
    const CodeNode* x = SkipDeleted(code);
    const CodeNode* c = x ? SkipDeleted(x->next) : nullptr;
    const CodeNode* op = c ? SkipDeleted(c->next) : nullptr;
    if (x == nullptr || x->kind != kKindVar || c == nullptr || TiedVariable(s, c) == 0 ||
        op == nullptr || op->kind != kKindBinary || op->sub != code::kSub ||
        SkipDeleted(op->next) != nullptr) {
        return 0;
    }
    return x->var;
}

}  // namespace

void AdvanceTimeStep(CoreState& s) {
    for (int e = 1; e <= s.model.count; ++e) {
        CodeNode* code = s.model.eq[e].code;
        bool tied = false;
        for (CodeNode* n = code; n != nullptr; n = n->next) {
            if (const int v = TiedVariable(s, n); v != 0) {
                n->value = s.names.value[v];
                tied = true;
            }
        }
        if (!tied) continue;
        if (const int x = FixedVariable(s, code); x != 0) {
            s.names.value[x] = SkipDeleted(SkipDeleted(code)->next)->value;
        }
    }
}
