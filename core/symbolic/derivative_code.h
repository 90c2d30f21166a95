#pragma once

#include <vector>

#include "core/base/code_node.h"

struct CoreState;

// Derivatives of compiled code as compiled code, for methods that evaluate them again and
// again (the gradient and Hessian of a minimization).

// The variables of code, in the order first met.
std::vector<int> VariablesIn(const CodeNode* code);

// d(code)/d(variable), folded, in evaluation form and ending with ';', ready for the
// evaluator; null when the variable does not occur in code (the derivative is 0). code is in
// evaluation form and is the same afterwards. A derivative that cannot be formed (a function
// without a rule: the stop flag is raised and the message written; or one cut short by its
// bound or a cancel) sets failed.
CodeNode* DerivativeCode(CoreState& s, CodeNode*& code, int variable, bool& failed);
