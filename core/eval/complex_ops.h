#pragma once

#include "core/base/eval_state.h"

struct CoreState;

// Complex arithmetic of the evaluator in complex mode.
ComplexValue ComplexBinary(CoreState& s, unsigned char code, ComplexValue a, ComplexValue b,
                           bool& errorFlag);
ComplexValue ComplexUnary(CoreState& s, unsigned char code, ComplexValue z, bool& errorFlag);
// (magnitude, angle) of z, angle in (-pi, pi].
ComplexValue ToPolar(ComplexValue z);
ComplexValue FromPolar(double magnitude, double angle);
