#include "core/eval/evaluator.h"

#include <cmath>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/eval/complex_ops.h"
#include "core/eval/eval_messages.h"
#include "core/eval/guarded.h"
#include "core/eval/guarded_ops.h"
#include "core/eval/if_branch.h"
#include "core/eval/special_functions.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"

namespace {

using eval_message::kEndedPrematurely;
using eval_message::kStackOverflow;
using eval_message::kStackUnderflow;

void StackFault(CoreState& s, bool& errorFlag, const char* text) {
    ConsoleWrite(s.console, text);
    RaiseError(s, errorFlag, text);
    ReportRunError(s);
}

}  // namespace

double RealBinary(CoreState& s, unsigned char c, double a, double b, bool& errorFlag) {
    // The IF pair and the angle operator are taken apart before evaluation, and the calculus
    // codes are rewritten before solving; in real arithmetic they give 0, as any other byte.
    double r = 0.0;
    switch (static_cast<code::Binary>(c)) {
        case code::kAdd: r = GuardedAdd(s, a, b); break;
        case code::kSub: r = GuardedSub(s, a, b); break;
        case code::kMul: r = GuardedMul(s, a, b); break;
        case code::kDiv: r = GuardedDiv(s, a, b); break;
        case code::kPow: r = GuardedPower(s, a, b, errorFlag); break;
        case code::kGreater: r = GuardedSub(s, a, b); break;
        case code::kLess: r = GuardedSub(s, b, a); break;
        case code::kEqual: r = (a == b) ? 0.0 : 1.0; break;
        case code::kAtan2: r = std::atan2(a, b); break;
        case code::kGammP: r = GammaP(s, a, b); break;
        case code::kAngleOp:
        case code::kIf:
        case code::kThen:
        case code::kDeriv:
        case code::kDelay:
        case code::kIntegral:
        case code::kLim:
        case code::kArg: break;
    }
    return guarded::Clip(s.k, r);  // NaN passes
}

double RealUnary(CoreState& s, unsigned char c, double x, bool& errorFlag) {
    switch (static_cast<code::Unary>(c)) {
        case code::kNeg: return -x;
        case code::kReal:
        case code::kConjg: return x;
        case code::kImag:
        case code::kMag:
        case code::kAngle: return 0.0;
        case code::kSquare: return x * x;
        case code::kAbs: return std::fabs(x);
        case code::kCos: return std::cos(x);
        case code::kSin: return std::sin(x);
        case code::kTan: {
            const double cx = std::cos(x);
            if (std::fabs(cx) <= s.k.smallest) {
                RaiseError(s, errorFlag, eval_message::kTangentInfinite);
                return s.k.largest;
            }
            return std::sin(x) / cx;
        }
        case code::kArcTan: return std::atan(x);
        case code::kArcSin:
        case code::kArcCos: {
            const double root = GuardedSqrt(s, GuardedSub(s, 1.0, GuardedMul(s, x, x)), errorFlag);
            // The guarded division makes x / 0 large and positive whatever the sign of x, so
            // the quotient is taken of |x| and the sign given back afterwards: ARCSIN(-1) is
            // -pi/2, not pi/2.
            const double asin = std::copysign(std::atan(GuardedDiv(s, std::fabs(x), root)), x);
            return c == code::kArcSin ? asin : kPi / 2 - asin;
        }
        case code::kExp: return GuardedExp(s, x);
        case code::kLn:
            if (x <= 0) {
                RaiseError(s, errorFlag, eval_message::kLogOfNonPositive);
                return s.k.largest;
            }
            return std::log(x);
        case code::kInv:
            if (std::fabs(x) <= s.k.smallest) {
                RaiseError(s, errorFlag, eval_message::kInverseOfZero);
                return s.k.largest;
            }
            return 1.0 / x;
        case code::kSqrt: return GuardedSqrt(s, x, errorFlag);
        case code::kStep: return x >= 0 ? 1.0 : 0.0;  // a NaN gives 0
        case code::kErf: return Erf(s, x);
        case code::kBessJ0: return BesselJ0(s, x);
        case code::kBessJ1: return BesselJ1(s, x);
        case code::kBessY0: return BesselY0(s, x);
        case code::kBessY1: return BesselY1(s, x);
        case code::kGammLn: return GammaLn(x);
    }
    return 0.0;  // a byte that is no code
}

namespace {

// The walk over one equation's code. In real mode only real parts are kept on the stack (the
// imaginary parts are never read there), which spares a store per operand.
template <bool kComplex>
int Walk(CoreState& s, const CodeNode* codeList, bool& errorFlag) {
    ComplexValue* st = s.eval.stack.data();
    const int capacity = s.limits.stackEntries;
    const RunConstants k = s.k;  // a local copy: the compiler need not reload it per node
    const double* values = s.names.value.data();
    int sp = 0;

    for (const CodeNode* n = codeList; n != nullptr && n->kind != kKindEnd; n = n->next) {
        switch (n->kind) {
            case kKindConst:
            case kKindVar: {
                if (sp >= capacity) {
                    StackFault(s, errorFlag, kStackOverflow);
                    break;
                }
                const double v = (n->kind == kKindVar) ? values[n->var] : n->value;
                ++sp;
                if (n->sub == kSubPlain) {
                    st[sp].re = v;
                    if constexpr (kComplex) st[sp].im = 0.0;
                } else if (n->sub == kSubImaginary) {
                    st[sp] = {0.0, v};
                } else if (n->sub == kSubPhasor) {
                    st[sp] = {std::cos(v), std::sin(v)};
                } else {
                    st[sp] = {v, 0.0};
                }
                break;
            }
            case kKindBinary:
                if (n->sub == code::kThen) break;
                if (n->sub == code::kIf) {
                    sp -= 2;
                    if (sp >= 1) {
                        const ComplexValue& chosen =
                            IfTakesThen(k, st[sp].re) ? st[sp + 1] : st[sp + 2];
                        if constexpr (kComplex)
                            st[sp] = chosen;
                        else
                            st[sp].re = chosen.re;
                    }
                } else {
                    --sp;
                    if (sp >= 0) {
                        if constexpr (kComplex) {
                            st[sp] = ComplexBinary(s, n->sub, st[sp], st[sp + 1], errorFlag);
                        } else {
                            // The four arithmetic operations inline; the rest by call.
                            const double a = st[sp].re, b = st[sp + 1].re;
                            double r = 0.0;
                            switch (static_cast<code::Binary>(n->sub)) {
                                case code::kAdd: r = guarded::Clip(k, guarded::Add(k, a, b)); break;
                                case code::kSub: r = guarded::Clip(k, guarded::Sub(k, a, b)); break;
                                case code::kMul: r = guarded::Clip(k, guarded::Mul(k, a, b)); break;
                                case code::kDiv: r = guarded::Clip(k, guarded::Div(k, a, b)); break;
                                case code::kPow:
                                case code::kAngleOp:
                                case code::kAtan2:
                                case code::kIf:
                                case code::kThen:
                                case code::kLess:
                                case code::kGreater:
                                case code::kEqual:
                                case code::kDeriv:
                                case code::kDelay:
                                case code::kIntegral:
                                case code::kLim:
                                case code::kArg:
                                case code::kGammP:
                                    r = RealBinary(s, n->sub, a, b, errorFlag);
                                    break;
                            }
                            st[sp].re = r;
                        }
                    }
                }
                if (sp < 0) {
                    StackFault(s, errorFlag, kStackUnderflow);
                    sp = 0;
                }
                break;
            case kKindUnary:
                if constexpr (kComplex)
                    st[sp] = ComplexUnary(s, n->sub, st[sp], errorFlag);
                else
                    st[sp].re = RealUnary(s, n->sub, st[sp].re, errorFlag);
                break;
            case kKindDeleted:
            case kKindEnd:  // ends the loop before it gets here
                break;
        }
    }
    if constexpr (!kComplex) st[1].im = 0.0;
    return sp;
}

}  // namespace

double Evaluate(CoreState& s, const CodeNode* codeList, bool& errorFlag) {
    errorFlag = false;
    const int sp = s.k.arithmetic == Arithmetic::kComplex ? Walk<true>(s, codeList, errorFlag)
                                                          : Walk<false>(s, codeList, errorFlag);
    ComplexValue* st = s.eval.stack.data();
    if (errorFlag) st[1] = {s.k.largest, 0.0};
    if (sp != 1) {
        ConsoleWrite(s.console, kEndedPrematurely);
        RaiseError(s, errorFlag, kEndedPrematurely);
        ReportRunError(s);
    }
    if (IsTiny(s, st[1].re)) st[1].re = 0.0;
    return st[1].re;
}
