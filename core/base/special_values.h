#pragma once

// Values with a meaning of their own in the core's arithmetic.

// Overflow and infinity; the value of a failed evaluation.
inline constexpr double kBigValue = 1e50;
inline constexpr double kMinusBigValue = -1e50;
// Magnitudes at or below this count as zero.
inline constexpr double kSmallValue = 1e-50;
// Marker of an undefined result (0/0, a fractional power of a negative number); written "?".
inline constexpr double kUndefinedValue = 8.18181818e-50;
// The value of pi the equation language uses everywhere.
inline constexpr double kPi = 3.14159265359;

// Residual exponents E(r) standing for no number: a residual at or below the smallest number,
// and a residual that is infinite or could not be evaluated.
inline constexpr int kZeroResidualExponent = -99;
inline constexpr int kFailedResidualExponent = 99;
