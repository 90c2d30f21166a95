#pragma once

#include <unordered_map>
#include <vector>

#include "core/base/code_node.h"

struct CoreState;

// Symbolic partial derivatives of compiled code.
//
// Every function reads one run in parse form (an operator, its right operand's run, then its
// left operand's run; deleted nodes are skipped) and never changes it. New nodes are linked
// in front of `output` one by one in parse-form order, so a list that the caller started with
// a ';' node reads, when finished, in evaluation form and still ends with that ';'. The
// derivative is not simplified: run ConstantFold on it (in parse form) afterwards.
//
// A code without a derivative rule, or a node of a kind that cannot start a run, writes its
// message to the console and raises the stop flag (with beep and error tail); that run's
// derivative is then the constant 0 so that the output stays a well-formed expression.

// Most nodes one derivative of the run may take: linear in the run's size. A derivative that
// would pass it is cut short with "Derivative Too Large" and the stop flag; so is one whose
// build sees a cancel. The Jacobian file holds every derivative of an equation within the
// same bound taken together.
long DerivativeNodeBudget(CodeNode* run);

// Emits d(run)/d(variable) and returns the position just after the run. With halted, tells
// whether the build was cut short by its bound or by a cancel.
CodeNode* Differentiate(CoreState& s, CodeNode* run, int variable, CodeNode*& output,
                        bool* halted = nullptr);

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

// The same derivative, with the sums of the run indexed beforehand (BuildSumIndex on this run)
// so that terms without the variable are not walked; the result folds to the same code.
CodeNode* Differentiate(CoreState& s, CodeNode* run, int variable, const SumIndex& sums,
                        CodeNode*& output, bool* halted = nullptr);

// Whether the run's derivative (negated first, with negated) with respect to a variable it does
// not hold folds to a constant zero, and which zero (its sign). Writes nothing to the console;
// a run without a rule for some part answers false.
bool DerivativeFoldsToZero(CoreState& s, CodeNode* run, bool negated, double& zero);

// Emits a copy of the run (deleted nodes left out) and returns the position just after it.
CodeNode* EmitCopy(CoreState& s, CodeNode* run, CodeNode*& output);

// The variant used by elimination: only the arithmetic, IF, comparison and elementary real
// functions have rules, and every constant or variable it emits is real (the pi, imaginary
// and phasor forms become plain values), so the result can be solved for symbolically.
CodeNode* DifferentiateRestricted(CoreState& s, CodeNode* run, int variable, CodeNode*& output);
