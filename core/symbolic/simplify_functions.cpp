#include <cmath>

#include "core/base/core_state.h"
#include "core/eval/if_branch.h"
#include "core/lang/function_traits.h"
#include "core/symbolic/simplify_internal.h"

// Functions, comparisons, IF and powers. Every rule keeps the value wherever the expression it
// replaces has one: where an identity holds only on part of the real line (ARCSIN(SIN(x)) is
// x only between -pi/2 and pi/2, SQRT(x^2) is |x|), the rule is left out or written with ABS.

namespace simplify {

namespace {

void Free(Pass& z, CodeNode* run) {
    FreeList(z.s.pool, run);
}

bool IsEvenInteger(double v) {
    return IsInteger(v) && std::fmod(v, 2.0) == 0.0;
}

// f(g(x)) = x wherever the left side is defined.
bool Cancels(unsigned char f, const UnaryTraits& g) {
    return g.inverseUndoes && g.inverse == f;
}

// The exponent under which the power rules take the run f(u) as u ^ power, 0 when they do not.
double PowerOf(const CodeNode* run) {
    if (run == nullptr || run->kind != kKindUnary) return 0.0;
    const UnaryTraits* traits = FindUnaryTraits(run->sub);
    return traits != nullptr ? traits->power : 0.0;
}

// base ^ (c * r) for (base ^ c) ^ r. When c is even and r is not a whole number, base ^ c is
// |base| ^ c and the result must read |base| ^ (c * r).
CodeNode* PowerOfPower(Pass& z, CodeNode* base, double c, double r) {
    if (IsEvenInteger(c) && !IsInteger(r)) base = Un(z, code::kAbs, base);
    return Bin(z, code::kPow, base, Number(z, c * r));
}

// The power rules on base ^ exponent, both simplified; the first that applies.
CodeNode* SimplifyPower(Pass& z, CodeNode* base, CodeNode* exponent) {
    for (;;) {
        if (IsNumber(base) && IsNumber(exponent)) {
            double v = 0.0;
            if (Combine(z, code::kPow, base->value, exponent->value, v)) {
                Free(z, base);
                Free(z, exponent);
                return Number(z, v);
            }
            break;
        }
        if (IsNumber(exponent)) {
            const double r = exponent->value;
            // SQRT(u) ^ r = u ^ (r / 2), SQUARE(u) ^ r = u ^ (2 r)
            if (const double p = PowerOf(base); p != 0.0) {
                Free(z, exponent);
                auto [e, b] = Split(z, PowerOfPower(z, Unwrap(z, base), p, r));
                base = b;
                exponent = e;
                continue;
            }
            if (IsBinary(base, code::kPow) && IsNumber(base->next)) {  // (u ^ c) ^ r
                Free(z, exponent);
                auto [c, u] = Split(z, base);
                const double cv = c->value;
                Free(z, c);
                auto [e, b] = Split(z, PowerOfPower(z, u, cv, r));
                base = b;
                exponent = e;
                continue;
            }
        }
        if (IsNumberValue(exponent, 1.0)) {
            Free(z, exponent);
            return base;
        }
        if (IsNumberValue(exponent, -1.0)) {
            Free(z, exponent);
            return Un(z, code::kInv, base);
        }
        if (IsNumberValue(exponent, 0.0) || IsNumberValue(base, 1.0)) {
            Free(z, exponent);
            Free(z, base);
            return Number(z, 1.0);
        }
        if (IsNumberValue(base, 0.0)) {
            Free(z, exponent);
            Free(z, base);
            return Number(z, 0.0);
        }
        break;
    }
    return Bin(z, code::kPow, base, exponent);
}

// IF over its condition and its THEN node: the branch a constant condition picks, or the one
// value both branches have become.
CodeNode* SimplifyIf(Pass& z, CodeNode* condition, CodeNode* branches) {
    if (!IsBinary(branches, code::kThen)) {
        Free(z, condition);
        return branches;
    }
    if (!IsNumber(condition)) return Bin(z, code::kIf, condition, branches);
    const bool holds = IfTakesThen(z.s.k, condition->value);
    Free(z, condition);
    auto [whenFalse, whenTrue] = Split(z, branches);
    Free(z, holds ? whenFalse : whenTrue);
    return holds ? whenTrue : whenFalse;
}

}  // namespace

CodeNode* SimplifyOther(Pass& z, CodeNode* run) {
    const unsigned char op = run->sub;
    auto [right, left] = Split(z, run);
    right = SimplifyNode(z, right);
    left = SimplifyNode(z, left);
    switch (static_cast<code::Binary>(op)) {
        case code::kLess:
        case code::kEqual:
        case code::kGreater: {
            double v = 0.0;
            if (IsNumber(left) && IsNumber(right) && Combine(z, op, left->value, right->value, v)) {
                Free(z, left);
                Free(z, right);
                return Number(z, v);
            }
            break;
        }
        case code::kIf: return SimplifyIf(z, left, right);
        case code::kThen:
            if (SameRun(left, right)) {
                Free(z, right);
                return left;
            }
            break;
        case code::kPow: return SimplifyPower(z, left, right);
        case code::kAdd:  // sums and products have passes of their own
        case code::kSub:
        case code::kMul:
        case code::kDiv:
        case code::kAngleOp:  // no rules of their own: only their operands are simplified
        case code::kAtan2:
        case code::kDeriv:
        case code::kDelay:
        case code::kIntegral:
        case code::kLim:
        case code::kArg:
        case code::kGammP: break;
    }
    return Bin(z, op, left, right);
}

CodeNode* SimplifyUnary(Pass& z, CodeNode* run) {
    const unsigned char f = run->sub;
    const UnaryTraits* traits = FindUnaryTraits(f);
    CodeNode* u = SimplifyNode(z, Unwrap(z, run));
    if (traits == nullptr) return Un(z, f, u);  // no code: nothing is known of it
    if (u->kind == kKindUnary) {
        const unsigned char g = u->sub;
        const UnaryTraits* inner = FindUnaryTraits(g);
        if (inner != nullptr && Cancels(f, *inner)) return Unwrap(z, u);
        if (f == code::kSqrt && g == code::kSquare) return Un(z, code::kAbs, Unwrap(z, u));
        if (g == code::kNeg && traits->symmetry == Symmetry::kEven) return Un(z, f, Unwrap(z, u));
        if (g == code::kNeg && traits->symmetry == Symmetry::kOdd) {
            return Un(z, code::kNeg, Un(z, f, Unwrap(z, u)));
        }
        if (f == code::kSquare && g == code::kSquare) {
            return Bin(z, code::kPow, Unwrap(z, u), Number(z, 4.0));
        }
    }
    double v = 0.0;
    if (IsNumber(u) && Apply(z, f, u->value, v)) {
        Free(z, u);
        return Number(z, v);
    }
    if (traits->power != 0.0 && IsBinary(u, code::kPow) && IsNumber(u->next)) {
        auto [c, base] = Split(z, u);
        const double cv = c->value;
        Free(z, c);
        return PowerOfPower(z, base, cv, traits->power);
    }
    return Un(z, f, u);
}

}  // namespace simplify
