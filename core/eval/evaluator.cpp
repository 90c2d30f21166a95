#include "core/eval/evaluator.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/eval/complex_ops.h"
#include "core/eval/eval_messages.h"
#include "core/eval/flatten.h"
#include "core/eval/guarded.h"
#include "core/eval/guarded_ops.h"
#include "core/eval/if_branch.h"
#include "core/eval/special_functions.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"

using eval_message::kEndedPrematurely;

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

// The guarded arithmetic of the four operations, with the binary result clipped. Nearly all
// operands are ordinary numbers, for which every guard passes; the test for that is made
// cheap, and anything else takes the full rules of guarded_ops.h. The larger magnitude is
// tested against the largest number; a NaN either fails the test or passes to a result that
// the full rules give as well (NaN). The undefined marker is compared by its bits, which for
// this one value is the same as comparing numbers.
constexpr std::uint64_t kUndefinedBits = std::bit_cast<std::uint64_t>(kUndefinedValue);

inline bool Defined(double x) {
    return std::bit_cast<std::uint64_t>(x) != kUndefinedBits;
}
inline bool Ordinary(const RunConstants& k, double a, double b) {
    return std::max(std::fabs(a), std::fabs(b)) < k.largest && Defined(a) && Defined(b);
}
// Ordinary, and neither within the smallest number of 0.
inline bool OrdinaryDivision(const RunConstants& k, double a, double b) {
    return std::min(std::fabs(a), std::fabs(b)) > k.smallest && Ordinary(k, a, b);
}
inline double Clip(const RunConstants& k, double r) {
    if (std::fabs(r) > k.largest) [[unlikely]]
        return k.largest;
    return r;
}

inline double Add(const RunConstants& k, double a, double b) {
    if (Ordinary(k, a, b)) [[likely]]
        return Clip(k, a + b);
    return guarded::Clip(k, guarded::Add(k, a, b));
}
inline double Sub(const RunConstants& k, double a, double b) {
    if (Ordinary(k, a, b)) [[likely]]
        return Clip(k, a - b);
    return guarded::Clip(k, guarded::Sub(k, a, b));
}
inline double Mul(const RunConstants& k, double a, double b) {
    if (Ordinary(k, a, b)) [[likely]]
        return Clip(k, a * b);
    return guarded::Clip(k, guarded::Mul(k, a, b));
}
inline double Div(const RunConstants& k, double a, double b) {
    if (OrdinaryDivision(k, a, b)) [[likely]]
        return Clip(k, a / b);
    return guarded::Clip(k, guarded::Div(k, a, b));
}

// The register's top goes onto the stack and v takes its place.
inline double Push(ComplexValue* st, int& sp, double top, double v) {
    st[sp++].re = top;
    return v;
}

// The real loop keeps only real parts on the stack (imaginary parts are never read in real
// mode), and the top entry in a register: an operation then never waits for a value it has
// just stored. The code was checked when it was flattened: the stack holds every push and no
// operator takes an operand that is not there, so no case checks anything. An operator that
// empties the stack works on entry 0, which is unused; before it the top is spilled, so
// that entry 1 keeps what it held.
int RunReal(CoreState& s, const FlatOp* op, bool& errorFlag) {
    ComplexValue* st = s.eval.stack.data();
    const RunConstants k = s.k;  // a local copy: the compiler need not reload it per node
    const double* x = s.names.value.data();
    int sp = 0;
    double top = st[0].re;  // entry sp
    for (;; ++op) {
        switch (op->op) {
            case FlatOpCode::kPush: top = Push(st, sp, top, *op->value); continue;
            case FlatOpCode::kPushVar: top = Push(st, sp, top, x[op->var]); continue;
            case FlatOpCode::kPushImag:
            case FlatOpCode::kPushVarImag: top = Push(st, sp, top, 0.0); continue;
            case FlatOpCode::kPushPhasor: top = Push(st, sp, top, std::cos(*op->value)); continue;
            case FlatOpCode::kPushVarPhasor:
                top = Push(st, sp, top, std::cos(x[op->var]));
                continue;
            case FlatOpCode::kSpill: st[sp].re = top; continue;
            case FlatOpCode::kAdd: top = Add(k, st[--sp].re, top); continue;
            case FlatOpCode::kSub: top = Sub(k, st[--sp].re, top); continue;
            case FlatOpCode::kMul: top = Mul(k, st[--sp].re, top); continue;
            case FlatOpCode::kDiv: top = Div(k, st[--sp].re, top); continue;
            case FlatOpCode::kAddConst: top = Add(k, top, *op->value); continue;
            case FlatOpCode::kSubConst: top = Sub(k, top, *op->value); continue;
            case FlatOpCode::kMulConst: top = Mul(k, top, *op->value); continue;
            case FlatOpCode::kDivConst: top = Div(k, top, *op->value); continue;
            case FlatOpCode::kAddVar: top = Add(k, top, x[op->var]); continue;
            case FlatOpCode::kSubVar: top = Sub(k, top, x[op->var]); continue;
            case FlatOpCode::kMulVar: top = Mul(k, top, x[op->var]); continue;
            case FlatOpCode::kDivVar: top = Div(k, top, x[op->var]); continue;
            case FlatOpCode::kIf:
                sp -= 2;
                top = IfTakesThen(k, st[sp].re) ? st[sp + 1].re : top;
                continue;
            case FlatOpCode::kBinary:
                --sp;
                top = RealBinary(s, op->sub, st[sp].re, top, errorFlag);
                continue;
            case FlatOpCode::kUnary: top = RealUnary(s, op->sub, top, errorFlag); continue;
            case FlatOpCode::kEnd:
                st[sp].re = top;
                st[1].im = 0.0;
                return sp;
        }
    }
}

inline ComplexValue Phasor(double angle) {
    return {std::cos(angle), std::sin(angle)};
}

// In complex mode every operation but the IF goes through the complex arithmetic; a fused
// operand enters it as the real number it would have been pushed as.
int RunComplex(CoreState& s, const FlatOp* op, bool& errorFlag) {
    ComplexValue* st = s.eval.stack.data();
    const RunConstants k = s.k;
    const double* x = s.names.value.data();
    int sp = 0;
    for (;; ++op) {
        switch (op->op) {
            case FlatOpCode::kPush: st[++sp] = {*op->value, 0.0}; continue;
            case FlatOpCode::kPushVar: st[++sp] = {x[op->var], 0.0}; continue;
            case FlatOpCode::kPushImag: st[++sp] = {0.0, *op->value}; continue;
            case FlatOpCode::kPushVarImag: st[++sp] = {0.0, x[op->var]}; continue;
            case FlatOpCode::kPushPhasor: st[++sp] = Phasor(*op->value); continue;
            case FlatOpCode::kPushVarPhasor: st[++sp] = Phasor(x[op->var]); continue;
            case FlatOpCode::kSpill: continue;  // the stack is all in memory here
            case FlatOpCode::kAdd:
            case FlatOpCode::kSub:
            case FlatOpCode::kMul:
            case FlatOpCode::kDiv:
            case FlatOpCode::kBinary:
                --sp;
                st[sp] = ComplexBinary(s, op->sub, st[sp], st[sp + 1], errorFlag);
                continue;
            case FlatOpCode::kAddConst:
            case FlatOpCode::kSubConst:
            case FlatOpCode::kMulConst:
            case FlatOpCode::kDivConst:
                st[sp] = ComplexBinary(s, op->sub, st[sp], {*op->value, 0.0}, errorFlag);
                continue;
            case FlatOpCode::kAddVar:
            case FlatOpCode::kSubVar:
            case FlatOpCode::kMulVar:
            case FlatOpCode::kDivVar:
                st[sp] = ComplexBinary(s, op->sub, st[sp], {x[op->var], 0.0}, errorFlag);
                continue;
            case FlatOpCode::kIf:
                sp -= 2;
                st[sp] = IfTakesThen(k, st[sp].re) ? st[sp + 1] : st[sp + 2];
                continue;
            case FlatOpCode::kUnary: st[sp] = ComplexUnary(s, op->sub, st[sp], errorFlag); continue;
            case FlatOpCode::kEnd: return sp;
        }
    }
}

}  // namespace

double Evaluate(CoreState& s, const FlatCode& code, bool& errorFlag) {
    errorFlag = false;
    ComplexValue* st = s.eval.stack.data();
    if (code.fault != nullptr) {
        // Refused when it was flattened, which wrote the message; the result is the error's.
        RaiseError(s, errorFlag, code.fault);
        st[1] = {s.k.largest, 0.0};
        return s.k.largest;
    }
    if (s.k.arithmetic == Arithmetic::kComplex)
        RunComplex(s, code.ops.data(), errorFlag);
    else
        RunReal(s, code.ops.data(), errorFlag);
    if (errorFlag) st[1] = {s.k.largest, 0.0};
    if (!code.complete) {
        ConsoleWrite(s.console, kEndedPrematurely);
        RaiseError(s, errorFlag, kEndedPrematurely);
        ReportRunError(s);
    }
    if (guarded::Tiny(s.k, st[1].re)) st[1].re = 0.0;
    return st[1].re;
}

double Evaluate(CoreState& s, const CodeNode* codeList, bool& errorFlag) {
    Flatten(s, codeList, s.eval.scratch);
    return Evaluate(s, s.eval.scratch, errorFlag);
}
