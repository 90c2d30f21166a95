#pragma once

#include "core/base/code_node.h"
#include "core/symbolic/differentiate.h"

struct CoreState;

// Indexes the sums of a run in parse form (only its size without indexSums: a run
// differentiated once gains nothing from an index). The run is not changed.
void BuildSumIndex(CoreState& s, CodeNode* root, SumIndex& index, bool indexSums = true);
