#pragma once

#include "core/base/code_node.h"
#include "core/base/flat_code.h"

struct CoreState;

// Makes the form the evaluator runs from a finished code list (evaluation form). The stack
// depth is found here, once: code that would push beyond the value stack, or take operands it
// never pushed, is refused with the message its evaluation used to give (written, and the run
// error reported), and evaluating it then fails at once. Returns false on refusal.
bool Flatten(CoreState& s, const CodeNode* list, FlatCode& out);

// The flattened form of a list that is evaluated again and again, from the cache kept beside
// it, flattened again only when the list may have changed.
const FlatCode& FlatFor(CoreState& s, const CodeNode* list, FlatCache& cache);
