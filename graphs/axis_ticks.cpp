#include "graphs/axis_ticks.h"

#include <cmath>
#include <cstdio>

namespace graphs {

/* NiceStep brings the span r = hi - lo into [0.1, 1] by powers of ten (r = r' * 10^e) and
   rounds r' up to a quarter: 0.25, 0.5, 0.75 or 1. The tick step is that quarter times
   10^(e-1), so a range shows between about 3 and 15 ticks. Exponents 0..3 are folded into the
   mantissa (labels like 25, 0.75, 250); smaller and larger ones stay beside the axis as x10^e.
   digits is how many decimals the y labels need. */
StepInfo NiceStep(double lo, double hi) {
    double r = hi - lo;
    int e = 0;
    while (r < 0.1 || r > 1.0) {
        if (r >= 1.0) {
            r /= 10.0;
            ++e;
        } else {
            r *= 10.0;
            --e;
        }
    }
    double m = r <= 0.375 ? 0.25 : r <= 0.625 ? 0.5 : r <= 0.875 ? 0.75 : 1.0;
    int d = (e >= 1 && e <= 2) ? 3 - e : e == 3 ? 0 : 2;
    if (m == 1.0) {
        if (e >= 0 && e <= 1) d = 1 - e;
        if (e > 1) d = 0;
    }
    if (e < 0 || e > 3) return {m, e - 1, d};
    const bool quarter = m == 0.25 || m == 0.75;
    if (e == 0 && quarter) return {m, -1, 2};
    if (m == 0.5) {
        if (e == 1) d = 1;
        if (e > 1) d = 0;
    }
    if (quarter) d = e == 2 ? 1 : e < 2 ? 2 : 0;
    return {m * std::pow(10.0, e - 1), 0, d};
}

namespace {

// Calls tick(k, v) for v = k*t from the top multiple of t within reach of max down to min.
template <typename F>
void ForEachMultiple(Range r, double t, F tick) {
    // The top multiple may overshoot max by a hair (1% of a step) so a range ending just short
    // of a round value still shows that value. Rounding down, not toward zero, keeps the top
    // tick inside a negative range.
    const double q = r.max / t;
    const double k0 = std::ceil(q) - q <= 0.01 ? std::ceil(q) : std::floor(q);
    // A step never splits a range into more than about 15 parts; the cap only guards against a
    // k so large that subtracting 1 no longer changes it.
    constexpr int kMaxTicks = 100;
    double k = k0;
    for (int n = 0; n < kMaxTicks && k * t >= r.min; ++n, k -= 1.0) {
        if (k != 0.0) tick(k, k * t);
    }
}

std::string Format(const char* format, double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, v);
    return buffer;
}

}  // namespace

std::vector<Tick> XTicks(const PlotScale& s, const StepInfo& step) {
    std::vector<Tick> ticks;
    const double t = step.mantissa * std::pow(10.0, step.exponent);
    ForEachMultiple(s.x, t, [&](double k, double v) {
        ticks.push_back({v, MapPoint(s, v, 0.0), Format("%.3g", k * step.mantissa)});
    });
    return ticks;
}

std::vector<Tick> YTicks(const PlotScale& s, const StepInfo& step) {
    std::vector<Tick> ticks;
    const double t = step.mantissa * std::pow(10.0, step.exponent);
    char format[16];
    std::snprintf(format, sizeof format, "%%.%df", step.digits);
    ForEachMultiple(s.y, t, [&](double k, double v) {
        ticks.push_back({v, MapPoint(s, 0.0, v), Format(format, k * step.mantissa)});
    });
    return ticks;
}

}  // namespace graphs
