#pragma once

#include "core/base/code_node.h"
#include "core/base/eval_state.h"
#include "core/base/flat_code.h"

struct CoreState;

// Runs one equation's flattened code (core/eval/flatten.h) on the value stack with the
// current variable values. Returns the real part of the result, which also stays in stack
// entry 1 (with the imaginary part in complex mode). errorFlag tells afterwards whether the
// evaluation failed; the first failure's text is in CoreState::message.
double Evaluate(CoreState& s, const FlatCode& code, bool& errorFlag);
// The same for a code list (evaluation form), flattened first: for code evaluated once or
// a few times. Code evaluated again and again keeps its flattened form and saves the pass.
double Evaluate(CoreState& s, const CodeNode* code, bool& errorFlag);

// Real operations of the evaluator (also used by the constant folder).
double RealBinary(CoreState& s, unsigned char code, double a, double b, bool& errorFlag);
double RealUnary(CoreState& s, unsigned char code, double x, bool& errorFlag);
