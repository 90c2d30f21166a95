#pragma once

#include "core/base/code_node.h"
#include "core/base/eval_state.h"

struct CoreState;

// Runs one equation's code (evaluation form) on the value stack with the current variable
// values. Returns the real part of the result, which also stays in stack entry 1 (with the
// imaginary part in complex mode). errorFlag tells afterwards whether the evaluation failed;
// the first failure's text is in CoreState::message.
double Evaluate(CoreState& s, const CodeNode* code, bool& errorFlag);

// Real operations of the evaluator (also used by the constant folder).
double RealBinary(CoreState& s, unsigned char code, double a, double b, bool& errorFlag);
double RealUnary(CoreState& s, unsigned char code, double x, bool& errorFlag);
