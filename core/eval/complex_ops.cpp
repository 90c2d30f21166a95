#include "core/eval/complex_ops.h"

#include <cmath>
#include <numbers>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/eval/guarded.h"
#include "core/eval/special_functions.h"
#include "core/lang/code_tables.h"

namespace {

// Product through the guarded operations, so overflow and undefined operands propagate the
// same way they do in real arithmetic.
ComplexValue GuardedProduct(const CoreState& s, ComplexValue a, ComplexValue b) {
    return {GuardedSub(s, GuardedMul(s, a.re, b.re), GuardedMul(s, a.im, b.im)),
            GuardedAdd(s, GuardedMul(s, a.re, b.im), GuardedMul(s, a.im, b.re))};
}

// Quotient in polar form. Also returns the quotient's magnitude: converting it back to
// rectangular form rounds, and a magnitude of exactly the largest number must still be seen
// as an overflow.
ComplexValue PolarQuotient(const CoreState& s, ComplexValue a, ComplexValue b, double& magnitude) {
    const ComplexValue pa = ToPolar(a);
    const ComplexValue pb = ToPolar(b);
    magnitude = GuardedDiv(s, pa.re, pb.re);
    return FromPolar(magnitude, GuardedSub(s, pa.im, pb.im));
}

// e^(w) for w = (x, y): magnitude from the real part, angle from the imaginary part.
ComplexValue ComplexExp(CoreState& s, double x, double y) {
    return FromPolar(GuardedExp(s, x), y);
}

}  // namespace

ComplexValue ToPolar(ComplexValue z) {
    double angle = std::atan2(z.im, z.re);
    // A negative zero imaginary part would give -pi; the angle range is (-pi, pi].
    if (angle == -std::numbers::pi) angle = std::numbers::pi;
    return {std::hypot(z.re, z.im), angle};
}

ComplexValue FromPolar(double magnitude, double angle) {
    // The undefined marker would be lost in the products with cos and sin.
    if (IsUndefined(magnitude)) return {kUndefinedValue, 0.0};
    return {magnitude * std::cos(angle), magnitude * std::sin(angle)};
}

ComplexValue ComplexBinary(CoreState& s, unsigned char c, ComplexValue a, ComplexValue b,
                           bool& errorFlag) {
    ComplexValue r{0.0, 0.0};
    double magnitude = -1.0;  // known exactly for the polar operations, else measured below
    switch (static_cast<code::Binary>(c)) {
        case code::kAdd: r = {GuardedAdd(s, a.re, b.re), GuardedAdd(s, a.im, b.im)}; break;
        case code::kSub:
        case code::kGreater: r = {GuardedSub(s, a.re, b.re), GuardedSub(s, a.im, b.im)}; break;
        case code::kLess: r = {GuardedSub(s, b.re, a.re), GuardedSub(s, b.im, a.im)}; break;
        case code::kMul: r = GuardedProduct(s, a, b); break;
        case code::kDiv: r = PolarQuotient(s, a, b, magnitude); break;
        case code::kPow: {
            // Only the real part of the exponent takes part.
            const ComplexValue pa = ToPolar(a);
            magnitude = GuardedPower(s, pa.re, b.re, errorFlag);
            r = FromPolar(magnitude, GuardedMul(s, pa.im, b.re));
            break;
        }
        case code::kEqual: r = {(a.re == b.re && a.im == b.im) ? 0.0 : 1.0, 0.0}; break;
        case code::kAtan2: r = {std::atan2(a.re, b.re), 0.0}; break;
        // The IF pair and the angle operator are taken apart before evaluation, the calculus
        // codes are rewritten before solving, and GAMMP has no complex form: all give 0.
        case code::kAngleOp:
        case code::kIf:
        case code::kThen:
        case code::kDeriv:
        case code::kDelay:
        case code::kIntegral:
        case code::kLim:
        case code::kArg:
        case code::kGammP: break;
    }
    if (magnitude < 0) magnitude = std::hypot(r.re, r.im);
    if (IsBig(s, magnitude)) r = {s.k.largest, 0.0};  // a NaN passes
    return r;
}

ComplexValue ComplexUnary(CoreState& s, unsigned char c, ComplexValue z, bool& errorFlag) {
    const double x = z.re, y = z.im;
    switch (static_cast<code::Unary>(c)) {
        case code::kNeg: return {-x, -y};
        case code::kReal: return {x, 0.0};
        case code::kImag: return {y, 0.0};
        case code::kConjg: return {x, -y};
        case code::kAbs:
        case code::kMag: return {ToPolar(z).re, 0.0};
        case code::kAngle: return {ToPolar(z).im, 0.0};
        case code::kSquare: return GuardedProduct(s, z, z);
        case code::kInv: {
            double magnitude = 0.0;
            return PolarQuotient(s, {1.0, 0.0}, z, magnitude);
        }
        case code::kSqrt: {
            const ComplexValue p = ToPolar(z);
            return FromPolar(GuardedSqrt(s, p.re, errorFlag), GuardedDiv(s, p.im, 2.0));
        }
        case code::kExp: return ComplexExp(s, x, y);
        case code::kLn: {
            const ComplexValue p = ToPolar(z);
            // Unlike real mode, a logarithm of zero is no error: the pair simply overflows.
            if (IsTiny(s, p.re)) return {s.k.largest, kPi};
            return {std::log(p.re), p.im};
        }
        case code::kCos:
        case code::kSin: {
            const ComplexValue e1 = ComplexExp(s, -y, x);  // e^(iz)
            const ComplexValue e2 = ComplexExp(s, y, -x);  // e^(-iz)
            if (c == code::kCos) {
                return {GuardedDiv(s, GuardedAdd(s, e1.re, e2.re), 2.0),
                        GuardedDiv(s, GuardedAdd(s, e1.im, e2.im), 2.0)};
            }
            const ComplexValue d{GuardedSub(s, e1.re, e2.re), GuardedSub(s, e1.im, e2.im)};
            return {GuardedDiv(s, d.im, 2.0), -GuardedDiv(s, d.re, 2.0)};  // d / 2i
        }
        case code::kArcTan: {
            // arctan z = ln((1 + iz) / (1 - iz)) / 2i
            double magnitude = 0.0;
            const ComplexValue q = PolarQuotient(s, {1.0 - y, x}, {1.0 + y, -x}, magnitude);
            ComplexValue l;
            if (IsTiny(s, magnitude))
                l = {s.k.largest, kPi};
            else
                l = {std::log(magnitude), ToPolar(q).im};
            return {GuardedDiv(s, l.im, 2.0), -GuardedDiv(s, l.re, 2.0)};
        }
        case code::kStep:
            // Decided on the real part, as in real mode: taking the angle instead would make
            // the step of -1 equal to 1.
            return {x >= 0 ? 1.0 : 0.0, 0.0};
        case code::kErf: return {Erf(s, x), 0.0};
        case code::kBessJ0: return {BesselJ0(s, x), 0.0};
        case code::kBessJ1: return {BesselJ1(s, x), 0.0};
        case code::kBessY0: return {BesselY0(s, x), 0.0};
        case code::kBessY1: return {BesselY1(s, x), 0.0};
        case code::kGammLn: return {GammaLn(x), 0.0};
        case code::kTan:
        case code::kArcSin:
        case code::kArcCos: return {0.0, 0.0};  // no complex form
    }
    return {0.0, 0.0};  // a byte that is no code
}
