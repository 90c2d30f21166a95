#include <vector>

#include "core/base/core_state.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/differential.h"
#include "core/lang/lang_messages.h"
#include "core/lang/parser.h"

// INT(LIM(p, q), ARG(f, x)), the integral of f over x from q to p, becomes the weighted sum
// of f at the n + 1 points q + k*h, h = (p - q) / n, times h (h / 3 for Simpson's rule).
// With constant limits the points and the width are numbers; otherwise they are code that
// computes them from the limits.

namespace {

namespace msg = difint_message;

CodeNode* Bin(CoreState& s, unsigned char op, CodeNode* left, CodeNode* right) {
    return WrapBinary(s.pool, op, right, left);
}

CodeNode* Const(CoreState& s, double v) {
    return ConstNode(s.pool, v);
}

bool IsBinary(const CodeNode* n, unsigned char code) {
    return n != nullptr && n->kind == kKindBinary && n->sub == code;
}

CodeNode* FindIntegral(CodeNode* list) {
    for (CodeNode* n = list; n != nullptr; n = n->next) {
        if (IsBinary(n, code::kIntegral)) return n;
    }
    return nullptr;
}

// A copy of the run f with every reference to variable x replaced by a copy of the run at.
CodeNode* Substitute(CoreState& s, const CodeNode* f, int x, const CodeNode* at) {
    const CodeNode* end = SubtreeEnd(f);
    CodeNode* head = nullptr;
    CodeNode** tail = &head;
    for (const CodeNode* n = f; n != nullptr; n = n->next) {
        CodeNode* piece = n->kind == kKindVar && n->var == x
                              ? CopyList(s.pool, at)
                              : MakeNode(s.pool, n->kind, n->sub, n->var, n->value, n->mark, nullptr);
        *tail = piece;
        while (piece->next != nullptr) piece = piece->next;
        tail = &piece->next;
        if (n == end) break;
    }
    return head;
}

double Weight(QuadratureRule rule, int k, int n) {
    switch (rule) {
        case QuadratureRule::kRectangle: return 1.0;
        case QuadratureRule::kTrapezoidal: return (k == 0 || k == n) ? 0.5 : 1.0;
        case QuadratureRule::kSimpson: return (k == 0 || k == n) ? 1.0 : (k % 2 == 1 ? 4.0 : 2.0);
    }
    return 1.0;
}

// The run that replaces the integral at node `integral`, or null when the integral is not
// well formed (an inner integral whose variable an outer one replaced).
CodeNode* Quadrature(CoreState& s, CodeNode* integral, QuadratureRule rule) {
    CodeNode* arg = integral->next;
    if (!IsBinary(arg, code::kArg) || arg->next == nullptr || arg->next->kind != kKindVar ||
        !IsBinary(NextRun(arg), code::kLim)) {
        return nullptr;
    }
    const int x = arg->next->var;
    const CodeNode* f = arg->next->next;
    const CodeNode* q = NextRun(arg)->next;
    const CodeNode* p = NextRun(const_cast<CodeNode*>(q));
    if (f == nullptr || q == nullptr || p == nullptr) return nullptr;

    int n = kDifIntIntervals;
    if (rule == QuadratureRule::kSimpson && n % 2 != 0) ++n;
    const bool constant = IsPlainConst(p) && IsPlainConst(q);
    const double width = constant ? (p->value - q->value) / n : 0.0;
    auto step = [&]() {
        return constant ? Const(s, width)
                        : Bin(s, code::kDiv,
                              Bin(s, code::kSub, CopySubtree(s.pool, p), CopySubtree(s.pool, q)),
                              Const(s, n));
    };

    CodeNode* sum = nullptr;
    for (int k = 0; k <= n; ++k) {
        CodeNode* at = k == 0     ? CopySubtree(s.pool, q)
                       : constant ? Const(s, q->value + k * width)
                                  : Bin(s, code::kAdd, CopySubtree(s.pool, q),
                                        Bin(s, code::kMul, Const(s, k), step()));
        CodeNode* term = Bin(s, code::kMul, Const(s, Weight(rule, k, n)), Substitute(s, f, x, at));
        FreeList(s.pool, at);
        sum = sum == nullptr ? term : Bin(s, code::kAdd, sum, term);
    }
    CodeNode* factor = rule != QuadratureRule::kSimpson
                           ? step()
                           : (constant ? Const(s, width / 3) : Bin(s, code::kDiv, step(), Const(s, 3)));
    return Bin(s, code::kMul, sum, factor);
}

// The equation's code with every integral replaced, or null when that fails or would make
// the equation longer than the compiler reads.
CodeNode* WithoutIntegrals(CoreState& s, const CodeNode* code, QuadratureRule rule) {
    CodeNode* list = CopyList(s.pool, code);
    for (CodeNode* integral = FindIntegral(list); integral != nullptr;
         integral = FindIntegral(list)) {
        CodeNode* sum = Quadrature(s, integral, rule);
        if (sum == nullptr) {
            FreeList(s.pool, list);
            return nullptr;
        }
        ReplaceSubtree(s.pool, integral, sum);
        if (CountNodes(list) > kMaxEquationNodes) {
            FreeList(s.pool, list);
            return nullptr;
        }
    }
    return list;
}

}  // namespace

bool ReplaceIntegrals(CoreState& s, QuadratureRule rule) {
    EquationModel& m = s.model;
    std::vector<CodeNode*> rewritten(static_cast<std::size_t>(m.count) + 1, nullptr);
    for (int e = 1; e <= m.count; ++e) {
        if (FindIntegral(m.eq[e].code) == nullptr) continue;
        rewritten[e] = WithoutIntegrals(s, m.eq[e].code, rule);
        if (rewritten[e] != nullptr) continue;
        for (CodeNode* c : rewritten) FreeList(s.pool, c);
        ConsoleWriteLine(s.console);
        ConsoleWrite(s.console, msg::kIllegalNumber);
        WarningBeep(s);
        return false;
    }
    for (int e = 1; e <= m.count; ++e) {
        if (rewritten[e] == nullptr) continue;
        FreeList(s.pool, m.eq[e].code);
        m.eq[e].code = rewritten[e];
    }
    return true;
}
