#pragma once

#include <cmath>

#include "core/base/settings.h"
#include "core/base/special_values.h"

// The guarded arithmetic on the run's limits, inline so that the evaluator's loop pays no
// call per operation. An operand at or beyond the largest number makes the result the largest
// number; the undefined marker travels through; the first applicable rule wins.
namespace guarded {

inline bool Big(const RunConstants& k, double x) {
    return std::fabs(x) >= k.largest;
}
inline bool Tiny(const RunConstants& k, double x) {
    return std::fabs(x) <= k.smallest && x != kUndefinedValue;
}

inline double Add(const RunConstants& k, double a, double b) {
    if (Big(k, a) || Big(k, b)) return k.largest;
    if (a == kUndefinedValue || b == kUndefinedValue) return kUndefinedValue;
    return a + b;
}

inline double Sub(const RunConstants& k, double a, double b) {
    if (Big(k, a) || Big(k, b)) return k.largest;
    if (a == kUndefinedValue || b == kUndefinedValue) return kUndefinedValue;
    return a - b;
}

inline double Mul(const RunConstants& k, double a, double b) {
    if (Big(k, a) || Big(k, b)) return k.largest;
    if (a == kUndefinedValue || b == kUndefinedValue) return kUndefinedValue;
    return a * b;
}

inline double Div(const RunConstants& k, double a, double b) {
    if (a == kUndefinedValue || b == kUndefinedValue) return kUndefinedValue;
    const bool tinyA = Tiny(k, a), tinyB = Tiny(k, b);
    if (tinyA && tinyB) return kUndefinedValue;  // 0/0
    if (Big(k, a) || tinyB) return k.largest;
    if (tinyA) return 0.0;
    if (Big(k, b)) return 0.0;
    return a / b;
}

// Binary results beyond the largest number become the largest number, whatever their sign.
inline double Clip(const RunConstants& k, double r) {
    return std::fabs(r) > k.largest ? k.largest : r;
}

}  // namespace guarded
