#pragma once

// Marker of an undefined result (0/0, a fractional power of a negative number); written "?".
inline constexpr double kUndefinedValue = 8.18181818e-50;
// The value of pi the equation language uses everywhere.
inline constexpr double kPi = 3.14159265359;
