#pragma once

#include <vector>

#include "core/base/code_node.h"

struct CoreState;

// Derivatives D(x, t) and definite integrals INT(LIM(p, q), ARG(f, x)) have no value of their
// own: the solver handles only algebraic equations. These rewrites turn a compiled equation
// set that uses them into an algebraic one, which the caller writes as equation text and
// compiles again.

// Intervals of the chain of steps and of every integral.
inline constexpr int kDifIntIntervals = 10;

// What the derivative scan found. Variables are numbered as in the name table.
struct DerivativeScan {
    bool failed = false;              // a message was printed
    int independent = 0;              // the t of every D(x, t); 0 when there is no derivative
    std::vector<char> hasDerivative;  // variable -> some D(variable, t) occurs
    int derivativeCount = 0;          // variables with a derivative
};

// Checks every derivative and integral of the model, whose equations are in parse form
// without deleted nodes. Each fault is printed on the console with a warning beep.
DerivativeScan ScanDerivatives(CoreState& s);

// The operation of the keys that follow 'D' in an advanced key sequence:
//   'I' 'B'  one implicit step, backward Euler       'T'      a chain of 10 trapezoidal steps
//   'I' 'T'  one implicit step, trapezoidal rule     'D' 'T'  integrals by the trapezoidal rule
//   'I' 'G'  not implemented                          'D' 'S'  integrals by Simpson's rule
//                                                     'D' any  integrals by rectangle sums
// A set that is refused (a fault of the scan, no independent variable for the steps, or a
// result beyond the run's limits) is left as it was and the parse error flag is raised, so
// that nothing is written or solved. Returns whether the equations were rewritten.
bool DifIntCommand(CoreState& s, char kind, char method);

// The parts, on a model in parse form without deleted nodes (DifIntCommand brings the model
// there and back). Each returns whether it rewrote the equations, and changes nothing when
// it refuses.
bool ImplicitStep(CoreState& s, const DerivativeScan& scan, bool trapezoidal);
bool StepChain(CoreState& s, const DerivativeScan& scan);

enum class QuadratureRule { kRectangle, kTrapezoidal, kSimpson };
bool ReplaceIntegrals(CoreState& s, QuadratureRule rule);

// The run of `node`'s sibling: the node just after the run that starts at node (parse form).
CodeNode* NextRun(CodeNode* node);
