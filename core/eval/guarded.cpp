#include "core/eval/guarded.h"

#include <cmath>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/eval/eval_messages.h"
#include "core/eval/guarded_ops.h"

bool IsBig(const CoreState& s, double x) {
    return guarded::Big(s.k, x);
}
bool IsTiny(const CoreState& s, double x) {
    return guarded::Tiny(s.k, x);
}
bool IsUndefined(double x) {
    return x == kUndefinedValue;
}
bool IsSpecial(const CoreState& s, double x) {
    return x == s.k.largest || x == s.k.negLargest || x == kUndefinedValue;
}

double GuardedAdd(const CoreState& s, double a, double b) {
    return guarded::Add(s.k, a, b);
}
double GuardedSub(const CoreState& s, double a, double b) {
    return guarded::Sub(s.k, a, b);
}
double GuardedMul(const CoreState& s, double a, double b) {
    return guarded::Mul(s.k, a, b);
}
double GuardedDiv(const CoreState& s, double a, double b) {
    return guarded::Div(s.k, a, b);
}

double GuardedSqrt(CoreState& s, double x, bool& errorFlag) {
    if (x < 0) {
        RaiseError(s, errorFlag, eval_message::kRootOfNegative);
        return 0.0;
    }
    return std::sqrt(x);
}

double GuardedExp(CoreState& s, double x) {
    if (x > s.k.expLimit) {
        // A warning, not an error: shown once until an EXP in range clears it again.
        if (!s.eval.expOverflowReported && !s.eval.quiet) {
            s.eval.expOverflowReported = true;
            ConsoleWrite(s.console, eval_message::kExpOverflow);
            ConsoleWriteLine(s.console);
            WarningBeep(s);
        }
        return s.k.largest;
    }
    s.eval.expOverflowReported = false;
    return std::exp(x);
}

double GuardedPower(CoreState& s, double x, double y, bool& errorFlag) {
    if (std::fabs(x) <= s.k.smallest) return y < 0 ? s.k.largest : 0.0;  // so 0^0 is 0

    enum { kOne, kGeneral, kReciprocal, kIdentity, kSquare, kEven, kOdd } cls;
    if (std::fabs(y) <= s.k.smallest) {
        cls = kOne;
    } else if (std::fabs(y) >= 32767.0) {
        cls = kGeneral;
    } else {
        const double n = std::round(y);  // halves away from zero
        if (std::fabs(n - y) > 1e-8)
            cls = kGeneral;
        else if (n == -1)
            cls = kReciprocal;
        else if (n == 1)
            cls = kIdentity;
        else if (n == 2)
            cls = kSquare;
        else if (std::fmod(n, 2.0) == 0)
            cls = kEven;
        else
            cls = kOdd;
    }
    switch (cls) {
        case kOne: return 1.0;
        case kReciprocal: return GuardedDiv(s, 1.0, x);
        case kIdentity: return x;
        case kSquare: return GuardedMul(s, x, x);
        case kEven: return GuardedExp(s, y * std::log(std::fabs(x)));
        case kOdd:
            if (x <= 0) return -GuardedExp(s, y * std::log(-x));
            return GuardedExp(s, y * std::log(x));
        case kGeneral:
            if (x <= 0) {
                RaiseError(s, errorFlag, eval_message::kFractionalPowerOfNegative);
                return kUndefinedValue;
            }
            return GuardedExp(s, y * std::log(x));
    }
    return 0.0;
}
