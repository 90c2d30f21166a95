#pragma once

#include <string>

// Numbers as equation text, in the system's own notation: byte 0xDF for the largest value
// (infinity), "?" for the undefined value, byte 0xF0 for pi, and an exponent written "E" with
// neither a '+' sign nor leading zeros (1.5E-7, 2E50).
//
// Two kinds of numbers are written. Text that people read (the expansion point of a
// linearization, values in comments) is kept short: FormatValue fits it into a given width.
// Text that the compiler reads again must give back the very same double, or a rewritten
// problem is no longer the problem that was written: ExactConstant gives the shortest text
// that reads back exactly.

// A value within `width` characters, not counting a leading '-'. Of the fixed-point and the
// exponent layouts that fit, the one that shows more significant digits is taken (fixed-point
// on a tie); each layout is searched from the most decimals down until its text fits. When
// not even one digit fits, the exponent form with a single digit is written, wider than asked.
// `big` is the run's largest value (1e50), written as byte 0xDF and "-" 0xDF.
std::string FormatValue(double value, int width, double big = 1e50);

// FormatValue without trailing zeros of the fraction (and without a point left bare).
std::string FormatConstant(double value, int width, double big = 1e50);

// The shortest text that the compiler reads back as the same double. Zero is "0" and the
// undefined value "?"; an infinity is written as the largest value and NaN as "?". The
// largest value itself is written as digits here: in equation text byte 0xDF is the
// imaginary unit.
std::string ExactConstant(double value, double big = 1e50);
