#include "core/symbolic/simplify.h"

#include <cmath>

#include "core/base/core_state.h"
#include "core/eval/evaluator.h"
#include "core/lang/function_traits.h"
#include "core/symbolic/simplify_internal.h"
#include "core/symbolic/symbolic_messages.h"

namespace simplify {

namespace {

// Rewrite steps one pass may take. An ordinary equation needs a few thousand; only products
// of many sums multiplied out, or sums nested hundreds of levels deep, come near it.
constexpr long kPassBudget = 4'000'000;

}  // namespace

bool Pass::Spend() {
    if (++work_ > kPassBudget) exhausted_ = true;
    return !exhausted_;
}

std::pair<CodeNode*, CodeNode*> Split(Pass& z, CodeNode* binary) {
    CodeNode* right = binary->next;
    CodeNode* rightEnd = SubtreeEnd(right);
    CodeNode* left = rightEnd->next;
    rightEnd->next = nullptr;
    z.s.pool.release(binary);
    return {right, left};
}

CodeNode* Unwrap(Pass& z, CodeNode* unary) {
    CodeNode* operand = unary->next;
    z.s.pool.release(unary);
    return operand;
}

CodeNode* Bin(Pass& z, unsigned char op, CodeNode* left, CodeNode* right) {
    return WrapBinary(z.s.pool, op, right, left);
}

CodeNode* Un(Pass& z, unsigned char op, CodeNode* x) {
    return WrapUnary(z.s.pool, op, x);
}

CodeNode* Number(Pass& z, double v) {
    return ConstNode(z.s.pool, v);
}

bool IsNumber(const CodeNode* n) {
    return n != nullptr && n->kind == kKindConst && n->var == 0 &&
           (n->sub == kSubPlain || n->sub == kSubPi);
}

bool IsNumberValue(const CodeNode* n, double v) {
    return IsNumber(n) && n->value == v;
}

bool IsBinary(const CodeNode* n, unsigned char code) {
    return n != nullptr && n->kind == kKindBinary && n->sub == code;
}

bool IsUnary(const CodeNode* n, unsigned char code) {
    return n != nullptr && n->kind == kKindUnary && n->sub == code;
}

const CodeNode* LeftOf(const CodeNode* binary) {
    const CodeNode* rightEnd = SubtreeEnd(binary->next);
    return rightEnd != nullptr ? rightEnd->next : nullptr;
}

bool SameRun(const CodeNode* a, const CodeNode* b) {
    int owed = 1;
    while (a != nullptr && b != nullptr) {
        if (a->kind != b->kind || a->sub != b->sub || a->var != b->var || !(a->value == b->value))
            return false;
        if (a->kind == kKindBinary) {
            ++owed;
        } else if (a->kind != kKindUnary) {
            --owed;
        }
        if (owed == 0) return true;
        a = a->next;
        b = b->next;
    }
    return false;
}

CodeNode* CopyRun(Pass& z, const CodeNode* node) {
    return CopySubtree(z.s.pool, node);
}

namespace {

// The classes of the order tables; anything else is an end or a removed node.
enum OrderClass { kConstantClass, kVariableClass, kBinaryClass, kUnaryClass, kOtherClass };
constexpr int kOrderClasses = kOtherClass + 1;

// Rows: the class of the element in the list; columns: the class of the one being inserted;
// 1 = the new one goes first, 2 = compare within the class.
constexpr char kOrder[2][kOrderClasses][kOrderClasses] = {
    // Sums: variables, unary functions, binary subexpressions, constants.
    {{2, 1, 1, 1, 0}, {0, 2, 0, 0, 1}, {0, 1, 2, 1, 1}, {0, 1, 0, 2, 1}, {0, 1, 1, 1, 2}},
    // Products: constants, variables, binary subexpressions, unary functions.
    {{2, 0, 0, 0, 1}, {1, 2, 0, 0, 1}, {1, 1, 2, 0, 1}, {1, 1, 1, 2, 1}, {1, 1, 1, 1, 2}},
};

OrderClass ClassOf(const CodeNode* n) {
    switch (n->kind) {
        case kKindConst: return kConstantClass;
        case kKindVar: return kVariableClass;
        case kKindBinary: return kBinaryClass;
        case kKindUnary: return kUnaryClass;
        case kKindEnd:
        case kKindDeleted: return kOtherClass;
    }
    return kOtherClass;
}

}  // namespace

bool GoesBefore(const CodeNode* existing, const CodeNode* incoming, Order order) {
    // Within a class constants go by value and variables by number; operators by their left
    // operand (a unary one by its operand), compared by the same rule.
    while (existing != nullptr && incoming != nullptr) {
        const OrderClass a = ClassOf(existing), b = ClassOf(incoming);
        if (a != b) return kOrder[order][a][b] == 1;
        switch (a) {
            case kConstantClass: return existing->value > incoming->value;
            case kVariableClass: return existing->var > incoming->var;
            case kBinaryClass:
                existing = LeftOf(existing);
                incoming = LeftOf(incoming);
                break;
            case kUnaryClass:
                existing = existing->next;
                incoming = incoming->next;
                break;
            case kOtherClass: return false;
        }
    }
    return false;
}

bool Combine(Pass& z, unsigned char op, double a, double b, double& result) {
    bool error = false;
    const bool keep = z.s.keepMessage;
    z.s.keepMessage = true;
    result = RealBinary(z.s, op, a, b, error);
    z.s.keepMessage = keep;
    return !error && !std::isnan(result);
}

bool Apply(Pass& z, unsigned char op, double x, double& result) {
    // Functions of complex numbers, whose value depends on the arithmetic of the run, and
    // bytes that are no function are not computed here.
    const UnaryTraits* f = FindUnaryTraits(op);
    if (f == nullptr || f->complex != ComplexRole::kNone) return false;
    bool error = false;
    const bool keep = z.s.keepMessage;
    z.s.keepMessage = true;
    result = RealUnary(z.s, op, x, error);
    z.s.keepMessage = keep;
    return !error && !std::isnan(result);
}

CodeNode* SimplifyNode(Pass& z, CodeNode* run) {
    if (run == nullptr || !z.Spend()) return run;
    switch (run->kind) {
        case kKindBinary:
            if (run->sub == code::kAdd || run->sub == code::kSub) return SimplifySum(z, run);
            if (run->sub == code::kMul || run->sub == code::kDiv) return SimplifyProduct(z, run);
            return SimplifyOther(z, run);
        case kKindUnary:
            if (z.firstPhase && run->sub == code::kSquare) {
                return SimplifyNode(z, Bin(z, code::kPow, Unwrap(z, run), TwoNode(z.s.pool)));
            }
            return SimplifyUnary(z, run);
        case kKindConst:
        case kKindVar:
        case kKindEnd:
        case kKindDeleted: return run;
    }
    return run;
}

}  // namespace simplify

namespace {

// One pass over an equation: its code as (code + 0), so that the top level is a sum.
bool SimplifyPass(CoreState& s, Equation& q, bool firstPhase) {
    simplify::Pass z(s, firstPhase);
    CodeNode* list = Strip(s.pool, ToPrefix(q.code));
    if (list == nullptr || SubtreeEnd(list) == nullptr || SubtreeEnd(list)->next != nullptr) {
        q.code = Finalize(s.pool, list);  // not one whole expression: nothing to simplify
        return false;
    }
    q.code = Finalize(s.pool, simplify::SimplifyNode(z, simplify::Bin(z, code::kAdd, list,
                                                                      ZeroNode(s.pool))));
    return !z.Exhausted();
}

}  // namespace

void SimplifyEquation(CoreState& s, int e) {
    Equation& q = s.model.eq[e];
    if (q.code == nullptr) return;
    int previous = CountNodes(q.code);
    for (const bool firstPhase : {true, false}) {
        for (;;) {
            CodeNode* kept = CopyList(s.pool, q.code);
            const bool finished = SimplifyPass(s, q, firstPhase);
            const int now = CountNodes(q.code);
            if (!finished || now > previous) {
                FreeList(s.pool, q.code);
                q.code = kept;
                break;
            }
            FreeList(s.pool, kept);
            if (now >= previous) break;
            previous = now;
        }
    }
}

void SimplifyEquations(CoreState& s, int first, int last) {
    ConsoleWrite(s.console, simplify_message::kSimplifying);
    for (int e = first; e <= last; ++e) {
        ConsoleWriteInt(s.console, e);
        if (e >= 1 && e <= s.model.count) SimplifyEquation(s, e);
    }
}
