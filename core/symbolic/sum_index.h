#pragma once

#include <cstddef>

#include "core/base/code_node.h"
#include "core/symbolic/differentiate.h"

struct CoreState;

// Fewest variables of an equation for which its sums are indexed: with fewer derivatives to
// form, the walks an index saves do not repay building it.
inline constexpr std::size_t kFewestIndexedVariables = 8;

// Indexes the sums of a run in parse form (only its size without indexSums: a run
// differentiated once gains nothing from an index). The run is not changed.
void BuildSumIndex(CoreState& s, CodeNode* root, SumIndex& index, bool indexSums = true);
