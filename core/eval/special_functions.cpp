#include "core/eval/special_functions.h"

#include <cmath>

#include "core/base/console.h"
#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/eval/eval_messages.h"
#include "core/eval/guarded.h"

namespace {

// Relative accuracy the gamma series and continued fraction stop at, and their iteration cap.
constexpr double kEps = 3e-7;
constexpr int kMaxIterations = 100;

// The published approximations carry these rounded constants; the exact values would move
// the results away from the tables they were fitted against.
constexpr double kTwoOverPi = 0.636619772;
constexpr double kQuarterPi = 0.785398164;
constexpr double kThreeQuarterPi = 2.356194491;

// Every warning is a console line of its own, like the other messages of the evaluator.
void Warn(CoreState& s, const char* text, bool beep) {
    ConsoleWrite(s.console, text);
    ConsoleWriteLine(s.console);
    if (beep) WarningBeep(s);
}

void WarnPrecision(CoreState& s) {
    Warn(s, eval_message::kGammaPrecision, true);
}

// Asymptotic factors shared by J0 and Y0 for arguments of 8 and above (y = (8/x)^2).
double AsymptoticP0(double y) {
    return 1.0 + y * (-0.001098628627 +
                      y * (2.734510407e-5 + y * (-2.073370639e-6 + y * 2.093887211e-7)));
}
double AsymptoticQ0(double y) {
    return -0.01562499995 +
           y * (0.0001430488765 + y * (-6.911147651e-6 + y * (7.621095161e-7 - y * 9.34945152e-8)));
}

// The same for J1 and Y1.
double AsymptoticP1(double y) {
    return 1.0 +
           y * (0.00183105 + y * (-3.516396496e-5 + y * (2.457520174e-6 + y * (-2.40337019e-7))));
}
double AsymptoticQ1(double y) {
    return 0.04687499995 +
           y * (-0.0002002690873 + y * (8.449199096e-6 + y * (-8.8228987e-7 + y * 1.05787412e-7)));
}

}  // namespace

double GammaLn(double x) {
    static constexpr double kCoefficients[6] = {76.18009173,  -86.50532033,  24.01409822,
                                                -1.231739516, 0.00120858003, -5.36382e-06};
    // Arguments at or below zero are not caught: the logarithms then yield NaN or infinity,
    // which the evaluator treats like any other arithmetic fault.
    double y = x - 1.0;
    double tmp = y + 5.5;
    tmp = (y + 0.5) * std::log(tmp) - tmp;
    double ser = 1.0;
    for (double c : kCoefficients) {
        y += 1.0;
        ser += c / y;
    }
    return tmp + std::log(2.50662827465 * ser);
}

double GammaSeries(CoreState& s, double a, double x, double& gln) {
    gln = GammaLn(a);
    if (x <= 0.0) {
        // The pause that traditionally follows this message does not wait for input: a
        // windowed program usually has no standard input connected, and waiting would hang.
        if (x < 0.0) Warn(s, eval_message::kGammaSeriesNegative, false);
        return 0.0;
    }
    double ap = a;
    double sum = 1.0 / a;
    double del = sum;
    bool converged = false;
    for (int n = 1; n <= kMaxIterations; ++n) {
        ap += 1.0;
        del *= x / ap;
        sum += del;
        if (std::fabs(del) < std::fabs(sum) * kEps) {
            converged = true;
            break;
        }
    }
    if (!converged) WarnPrecision(s);
    return sum * std::exp(-x + a * std::log(x) - gln);
}

double GammaContinuedFraction(CoreState& s, double a, double x, double& gln) {
    gln = GammaLn(a);
    double gold = 0.0;
    double g = 0.0;
    double a0 = 1.0;
    double a1 = x;
    double b0 = 0.0;
    double b1 = 1.0;
    double fac = 1.0;
    bool converged = false;
    for (int n = 1; n <= kMaxIterations; ++n) {
        const double an = static_cast<double>(n);
        const double ana = an - a;
        a0 = (a1 + a0 * ana) * fac;
        b0 = (b1 + b0 * ana) * fac;
        const double anf = an * fac;
        a1 = x * a0 + anf * a1;
        b1 = x * b0 + anf * b1;
        // The recurrence is renormalised by 1/a1 each step so that it cannot overflow.
        if (a1 != 0.0) {
            fac = 1.0 / a1;
            g = b1 * fac;
            if (std::fabs((g - gold) / g) < kEps) {
                converged = true;
                break;
            }
            gold = g;
        }
    }
    if (!converged) WarnPrecision(s);
    return std::exp(-x + a * std::log(x) - gln) * g;
}

double GammaP(CoreState& s, double a, double x) {
    // Only a warning: the value computed from the bad arguments is still used.
    if (x < 0.0 || a <= 0.0) Warn(s, eval_message::kGammaArgument, true);
    double gln = 0.0;
    // The series converges quickly below a + 1, the continued fraction above it.
    if (x < a + 1.0) return GammaSeries(s, a, x, gln);
    return 1.0 - GammaContinuedFraction(s, a, x, gln);
}

double Erf(CoreState& s, double x) {
    const double p = GammaP(s, 0.5, x * x);
    return x < 0.0 ? -p : p;
}

double BesselJ0(CoreState& s, double x) {
    const double ax = std::fabs(x);
    if (ax < 8.0) {
        const double y = x * x;
        const double p1 =
            57568490574.0 +
            y * (-13362590354.0 +
                 y * (651619640.7 + y * (-11214424.18 + y * (77392.33017 + y * (-184.9052456)))));
        const double p2 =
            57568490411.0 +
            y * (1029532985.0 + y * (9494680.718 + y * (59272.64853 + y * (267.8532712 + y))));
        return GuardedDiv(s, p1, p2);
    }
    const double z = 8.0 / ax;
    const double y = z * z;
    const double xx = ax - kQuarterPi;
    return std::sqrt(kTwoOverPi / ax) *
           (std::cos(xx) * AsymptoticP0(y) - z * std::sin(xx) * AsymptoticQ0(y));
}

double BesselJ1(CoreState& s, double x) {
    const double ax = std::fabs(x);
    if (ax < 8.0) {
        const double y = x * x;
        const double p1 =
            x *
            (72362614232.0 +
             y * (-7895059235.0 +
                  y * (242396853.1 + y * (-2972611.439 + y * (15704.4826 + y * (-30.16036606))))));
        const double p2 =
            144725228442.0 +
            y * (2300535178.0 + y * (18583304.74 + y * (99447.43394 + y * (376.9991397 + y))));
        return GuardedDiv(s, p1, p2);
    }
    const double z = 8.0 / ax;
    const double y = z * z;
    const double xx = ax - kThreeQuarterPi;
    const double sign = x >= 0.0 ? 1.0 : -1.0;
    return sign * std::sqrt(kTwoOverPi / ax) *
           (std::cos(xx) * AsymptoticP1(y) - z * std::sin(xx) * AsymptoticQ1(y));
}

double BesselY0(CoreState& s, double x) {
    if (x < 0.0) return kUndefinedValue;
    // Y0 has a logarithmic pole at 0.
    if (IsTiny(s, x)) return s.k.largest;
    if (x < 8.0) {
        const double y = x * x;
        const double p1 =
            -2957821389.0 +
            y * (7062834065.0 +
                 y * (-512359803.6 + y * (10879881.29 + y * (-86327.92757 + y * 228.4622733))));
        const double p2 =
            40076544269.0 +
            y * (745249964.8 + y * (7189466.438 + y * (47447.2647 + y * (226.1030244 + y))));
        return GuardedAdd(s, GuardedDiv(s, p1, p2), kTwoOverPi * BesselJ0(s, x) * std::log(x));
    }
    const double z = 8.0 / x;
    const double y = z * z;
    const double xx = x - kQuarterPi;
    return std::sqrt(kTwoOverPi / x) *
           (std::sin(xx) * AsymptoticP0(y) + z * std::cos(xx) * AsymptoticQ0(y));
}

double BesselY1(CoreState& s, double x) {
    if (x < 0.0) return kUndefinedValue;
    // Y1 has a pole of order one at 0.
    if (IsTiny(s, x)) return s.k.largest;
    if (x < 8.0) {
        const double y = x * x;
        const double p1 =
            x *
            (-4.900604943e12 +
             y * (1.27527439e12 +
                  y * (-51534381390.0 + y * (734926455.1 + y * (-4237922.726 + y * 8511.937935)))));
        const double p2 =
            2.49958057e13 +
            y * (424441966400.0 +
                 y * (3733650367.0 + y * (22459040.02 + y * (102042.605 + y * (354.9632885 + y)))));
        return GuardedAdd(s, GuardedDiv(s, p1, p2),
                          kTwoOverPi * (BesselJ1(s, x) * std::log(x) - 1.0 / x));
    }
    const double z = 8.0 / x;
    const double y = z * z;
    const double xx = x - kThreeQuarterPi;
    return std::sqrt(kTwoOverPi / x) *
           (std::sin(xx) * AsymptoticP1(y) + z * std::cos(xx) * AsymptoticQ1(y));
}
