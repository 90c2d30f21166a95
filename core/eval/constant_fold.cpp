#include "core/eval/constant_fold.h"

#include "core/base/core_state.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/lang/function_traits.h"

// Folding works in place on parse form: a removed node only changes its kind to '0', so the
// positions of the remaining runs stay valid while the walk goes on; Finalize strips them.
namespace {

// A zero is any constant of value 0, whatever its form; ones are plain constants only.
bool IsZero(const CodeNode* n) {
    return n->kind == kKindConst && n->var == 0 && n->value == 0.0;
}

void RemoveRun(CodeNode* start) {
    CodeNode* end = SubtreeEnd(start);
    for (CodeNode* n = start; n != nullptr; n = n->next) {
        n->kind = kKindDeleted;
        if (n == end) break;
    }
}

// The operand run that follows a node (its first operand in parse form).
CodeNode* OperandAfter(CodeNode* n) {
    return SkipDeleted(SubtreeEnd(n)->next);
}

// Keeps `keep` as the result of binary node `node`, removing the node and `drop`.
CodeNode* KeepOperand(CodeNode* node, CodeNode* keep, CodeNode* drop) {
    node->kind = kKindDeleted;
    RemoveRun(drop);
    return keep;
}

// A folded run: its first live node, and the node after the run in the list. Folding only
// marks nodes removed, so where a run ends never moves; carrying that position up spares a
// walk over every right operand, which made folding quadratic in the depth of an expression.
struct Run {
    CodeNode* head;
    CodeNode* after;  // meaningful only when complete
    bool complete;    // false when the list ends inside the run
};

Run Fold(CoreState& s, CodeNode* node);

// Folds a constant factor into a neighbouring product that has a constant factor of its own:
// k * (a * c) and k * (c * a) become (k*c) * a. Multiplication commutes, so either side works.
bool MergeConstantFactors(CodeNode* constant, CodeNode* product) {
    if (!IsPlainConst(constant) || product->kind != kKindBinary || product->sub != code::kMul) {
        return false;
    }
    CodeNode* right = SkipDeleted(product->next);
    if (right == nullptr || SubtreeEnd(right) == nullptr) return false;
    CodeNode* left = OperandAfter(right);
    if (left == nullptr) return false;
    CodeNode* c = IsPlainConst(right) ? right : (IsPlainConst(left) ? left : nullptr);
    if (c == nullptr) return false;
    constant->value *= c->value;
    product->kind = kKindDeleted;
    c->kind = kKindDeleted;
    return true;
}

// The binary node's result once its operands r (right) and l (left) are folded.
CodeNode* Combine(CoreState& s, CodeNode* node, CodeNode* r, CodeNode* l) {
    const unsigned char op = node->sub;

    if (IsPlainConst(l) && IsPlainConst(r)) {
        if (op == code::kThen) {
            if (l->value == r->value) return KeepOperand(node, l, r);
            return node;
        }
        // An IF whose condition and merged branches are constants has the branch value; the
        // two-argument evaluation of the IF code would give 0.
        if (op == code::kIf) return KeepOperand(node, r, l);
        if (const BinaryTraits* f = FindBinaryTraits(op); f != nullptr && f->folds) {
            bool error = false;
            const double v = RealBinary(s, op, l->value, r->value, error);
            if (!error) {
                l->value = v;
                return KeepOperand(node, l, r);
            }
        }
    }

    switch (static_cast<code::Binary>(op)) {
        case code::kMul:
            if (IsZero(r)) return KeepOperand(node, r, l);
            if (IsZero(l)) return KeepOperand(node, l, r);
            if (IsPlainConstValue(l, 1.0)) return KeepOperand(node, r, l);
            if (IsPlainConstValue(r, 1.0)) return KeepOperand(node, l, r);
            if (IsPlainConstValue(l, -1.0)) {
                node->kind = kKindUnary;
                node->sub = code::kNeg;
                RemoveRun(l);
                return node;
            }
            if (IsPlainConstValue(r, -1.0)) {
                // -(L): the node becomes a unary minus over the left run.
                node->kind = kKindUnary;
                node->sub = code::kNeg;
                RemoveRun(r);
                return node;
            }
            if (MergeConstantFactors(r, l) || MergeConstantFactors(l, r)) return node;
            return node;
        case code::kAdd:
            if (IsZero(r)) return KeepOperand(node, l, r);
            if (IsZero(l)) return KeepOperand(node, r, l);
            return node;
        case code::kSub:
            if (IsZero(r)) return KeepOperand(node, l, r);
            if (IsZero(l)) {
                node->kind = kKindUnary;
                node->sub = code::kNeg;
                RemoveRun(l);
                return node;
            }
            if (l->kind == kKindVar && r->kind == kKindVar && l->var == r->var &&
                l->sub == r->sub) {
                l->kind = kKindConst;
                l->sub = kSubPlain;
                l->var = 0;
                l->value = 0.0;
                return KeepOperand(node, l, r);
            }
            if (r->kind == kKindUnary && r->sub == code::kNeg) {
                node->sub = code::kAdd;
                r->kind = kKindDeleted;
            }
            return node;
        case code::kDiv:
            if (IsZero(r)) {
                r->sub = kSubPlain;
                r->value = s.k.largest;
                return KeepOperand(node, r, l);
            }
            if (IsZero(l)) return KeepOperand(node, l, r);
            if (IsPlainConstValue(l, 1.0)) {
                node->kind = kKindUnary;
                node->sub = code::kInv;
                RemoveRun(l);
                return node;
            }
            if (IsPlainConstValue(r, 1.0)) return KeepOperand(node, l, r);
            return node;
        case code::kIf:
            if (IsPlainConst(r)) return KeepOperand(node, r, l);
            return node;
        case code::kPow:
            if (IsZero(r)) {
                r->sub = kSubPlain;
                r->value = 1.0;
                return KeepOperand(node, r, l);
            }
            if (IsZero(l) || IsPlainConstValue(l, 1.0) || IsPlainConstValue(r, 1.0)) {
                return KeepOperand(node, l, r);
            }
            return node;
        case code::kAngleOp:
        case code::kAtan2:
        case code::kThen:
        case code::kLess:
        case code::kGreater:
        case code::kEqual:
        case code::kDeriv:
        case code::kDelay:
        case code::kIntegral:
        case code::kLim:
        case code::kArg:
        case code::kGammP: return node;  // no identity to apply
    }
    return node;
}

Run FoldBinary(CoreState& s, CodeNode* node) {
    const Run r = Fold(s, node->next);
    if (!r.complete) return {node, nullptr, false};
    const Run l = Fold(s, r.after);
    if (l.head == nullptr) return {node, nullptr, false};  // incomplete code: nothing to fold
    return {Combine(s, node, r.head, l.head), l.after, l.complete};
}

CodeNode* FoldUnaryOperand(CoreState& s, CodeNode* node, CodeNode* operand) {
    if (operand == nullptr || !IsPlainConst(operand)) return node;
    // In complex mode MAG and ANGLE of a real constant are not what the real evaluator gives
    // (it returns 0 for them), so they are left for evaluation.
    const UnaryTraits* f = FindUnaryTraits(node->sub);
    if (s.k.arithmetic == Arithmetic::kComplex && f != nullptr && f->complex == ComplexRole::kPolar)
        return node;
    bool error = false;
    const double v = RealUnary(s, node->sub, operand->value, error);
    if (error) return node;
    operand->value = v;
    node->kind = kKindDeleted;
    return operand;
}

Run FoldUnary(CoreState& s, CodeNode* node) {
    const Run operand = Fold(s, node->next);
    return {FoldUnaryOperand(s, node, operand.head), operand.after, operand.complete};
}

Run Fold(CoreState& s, CodeNode* node) {
    node = SkipDeleted(node);
    if (node == nullptr) return {nullptr, nullptr, false};
    switch (node->kind) {
        case kKindBinary: return FoldBinary(s, node);
        case kKindUnary: return FoldUnary(s, node);
        case kKindConst:
        case kKindVar: return {node, node->next, true};
        case kKindEnd:
        case kKindDeleted: return {node, nullptr, false};
    }
    return {node, nullptr, false};
}

}  // namespace

CodeNode* ConstantFold(CoreState& s, CodeNode* list) {
    if (list == nullptr) return nullptr;
    // A fold that fails is simply not made; its error text must not replace the run's message.
    const bool keep = s.keepMessage;
    s.keepMessage = true;
    CodeNode* head = list;
    if (list->kind == kKindEnd) {  // an equation turned to parse form starts with its ';'
        Fold(s, list->next);
    } else {
        head = Fold(s, list).head;
    }
    s.keepMessage = keep;
    return head;
}
