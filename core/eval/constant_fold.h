#pragma once

#include "core/base/code_node.h"

struct CoreState;

// Folds constant subexpressions and trivial operands of a list in parse form. Removed nodes
// become kind '0' (Finalize strips them). Returns the first node of the list that was not
// removed.
CodeNode* ConstantFold(CoreState& s, CodeNode* list);
