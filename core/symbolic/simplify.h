#pragma once

#include "core/base/code_node.h"

struct CoreState;

// Simplification of compiled equations into a canonical, usually shorter form, keeping the
// value of every equation: sums and products are flattened into term and factor lists in a
// fixed order, equal terms of opposite sign and equal factors above and below the fraction
// bar cancel, constants are combined into one, like terms and powers of one base are
// collected, and a few identities (SIN^2 + COS^2, inverse function pairs) are applied.
//
// A pass rewrites a whole equation. The first phase also turns SQUARE(u) into u^2 and
// multiplies products out over sums; the second keeps both as they are. Each phase repeats
// its pass while the equation gets shorter, and a pass that makes it longer is undone, so an
// equation never comes out longer than it went in. A pass that would take unreasonably long
// (a product of many sums multiplied out, very deep nesting) is abandoned and undone too.

// Writes "Simplifying Equation No: " and simplifies equations first..last, each number on the
// console as it is reached.
void SimplifyEquations(CoreState& s, int first, int last);
// Both phases on equation e (evaluation form in, evaluation form out).
void SimplifyEquation(CoreState& s, int e);
