#pragma once

#include <unordered_map>
#include <vector>

#include "core/base/code_node.h"

struct CoreState;

// A long sum differentiated once per variable would be walked whole for every one of them,
// which makes the Jacobian of a dense equation cost its size times its variables, squared
// again over the model. The index lets a derivative visit only the terms that hold its
// variable: every other term's derivative folds to a zero, and a run of such zeros is written
// as the one zero that folding the run would leave.

// A chain of + and - whose left operands continue the chain, read as its terms from left to
// right: ((t0 + t1) - t2) + t3 ...
struct SumCluster {
    std::vector<CodeNode*> terms;        // first live node of each term's run
    std::vector<char> negated;           // term i (i >= 1) is subtracted
    std::vector<int> positiveZerosUpTo;  // of terms before i, how many fold to +0 (size + 1)
    std::unordered_map<int, std::vector<int>> termsWith;  // variable -> its terms, ascending
    CodeNode* after = nullptr;                             // position after the whole chain
};

struct SumIndex {
    // Keyed by the chain's top operator; a chain a term of which has a derivative that does
    // not fold to a zero (or cannot be formed) is left out and differentiated as written.
    std::unordered_map<const CodeNode*, SumCluster> clusters;
    long rootNodes = 0;  // nodes of the indexed run, for the derivative's bound

    const SumCluster* At(const CodeNode* n) const {
        const auto it = clusters.find(n);
        return it == clusters.end() ? nullptr : &it->second;
    }
};

// Indexes the sums of a run in parse form (only its size without indexSums: a run
// differentiated once gains nothing from an index). The run is not changed.
void BuildSumIndex(CoreState& s, CodeNode* root, SumIndex& index, bool indexSums = true);
