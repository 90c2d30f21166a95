// Groups of a large set as the blocks of its block triangular form, by SuiteSparse's BTF.
//
// The ordering elimination that groups a small set eliminates the whole set at once, on the
// pattern alone, walking and scattering linked rows that grow with their fill-in: on a
// two-dimensional mesh its cost grows nearly with the square of the set. A maximum transversal
// and the strongly connected components of the graph it gives cost in proportion to the terms.
// Every equation of a block depends on every other one through the matched variables, so no
// block can be split; the grouping of a small set may also join a block with blocks it depends
// on, where the elimination happened to pivot a row before its dependencies.
//
// BTF works on compressed columns. Given the rows of the equations as the columns (the
// transpose: row = variable, column = equation), it matches each variable with an equation
// and permutes the transpose to block upper triangular form: an equation of block b uses
// variables of blocks up to b only, so the blocks in their order are groups in solution order.

#include <btf.h>

#include <algorithm>
#include <vector>

#include "core/base/core_state.h"
#include "core/solve/grouping.h"

namespace grouping {

bool FindBlocks(CoreState& s) {
    SolveState& v = s.solve;
    const int n = s.model.count;
    // Variables numbered beyond the equations are not solved for; they act as constants.
    std::vector<int> start(n + 1, 0), variables;
    // The matching takes the first free variable of each equation where it can, so an equation's
    // own-numbered variable goes first: on a mesh written point by point that pairs every
    // equation with its point, and the ordering of a group, which takes the matched pairs as its
    // diagonal, sees the mesh itself rather than a shifted copy of it that fills in far more.
    for (int eq = 1; eq <= n; ++eq) {
        if (v.diagonal[eq] != nullptr) variables.push_back(eq - 1);
        for (const JacobianEntry* e = v.rowHead[eq]; e != nullptr; e = e->nextInRow) {
            if (e->variable <= n && e->variable != eq) variables.push_back(e->variable - 1);
        }
        start[eq] = static_cast<int>(variables.size());
    }
    if (variables.empty()) variables.push_back(0);  // BTF reads the array even when empty

    std::vector<int> equationOf(n), work(5 * static_cast<std::size_t>(n));
    double effort = 0.0;
    if (btf_maxtrans(n, n, start.data(), variables.data(), 0.0, &effort, equationOf.data(),
                     work.data()) < n) {
        return false;
    }
    std::vector<int> variableAt(n), blockStart(n + 1);
    std::vector<int>& equationAt = equationOf;  // permuted in place into the block order
    const int blocks = btf_strongcomp(n, start.data(), variables.data(), equationAt.data(),
                                      variableAt.data(), blockStart.data(), work.data());

    std::fill(v.matchOf.begin(), v.matchOf.end(), 0);
    for (int k = 0; k < n; ++k) {
        const int pos = k + 1, eq = equationAt[k] + 1, var = variableAt[k] + 1;
        v.pivotEquation[pos] = eq;
        v.pivotVariable[pos] = var;
        v.positionOf[eq] = pos;
        v.matchOf[var] = eq;
    }
    if (s.settings.solveInGroups) {
        v.groupCount = blocks;
        for (int b = 0; b < blocks; ++b) {
            v.groupLast[b + 1] = blockStart[b + 1];
            for (int k = blockStart[b]; k < blockStart[b + 1]; ++k)
                v.groupOf[equationAt[k] + 1] = b + 1;
        }
    } else {
        v.groupCount = 1;
        v.groupLast[1] = n;
        for (int eq = 1; eq <= n; ++eq) v.groupOf[eq] = 1;
    }
    WriteGroupCount(s);
    return true;
}

}  // namespace grouping
