#pragma once

#include <utility>

#include "core/base/code_node.h"
#include "core/lang/code_string.h"

struct CoreState;

// The pieces of one simplification pass, shared by simplify*.cpp. A run here is a complete
// expression in parse form held as a list of its own (its last node's next is null), owned by
// whoever holds it; every function takes the runs it is given and returns one it owns.

namespace simplify {

// State of one pass.
class Pass {
   public:
    Pass(CoreState& state, bool first) : s(state), firstPhase(first) {}

    // Counts one rewrite step; false once the pass has used up its budget, after which runs
    // are handed back as they are (the caller undoes such a pass).
    bool Spend();
    bool Exhausted() const { return exhausted_; }

    CoreState& s;
    const bool firstPhase;

   private:
    long work_ = 0;
    bool exhausted_ = false;
};

// Operand classes of the order tables.
enum Order { kSumOrder, kProductOrder };

CodeNode* SimplifyNode(Pass& z, CodeNode* run);
CodeNode* SimplifySum(Pass& z, CodeNode* run);
CodeNode* SimplifyProduct(Pass& z, CodeNode* run);
CodeNode* SimplifyOther(Pass& z, CodeNode* run);
CodeNode* SimplifyUnary(Pass& z, CodeNode* run);

// Takes a binary node apart: frees the node and returns its operands (right, left) as runs of
// their own.
std::pair<CodeNode*, CodeNode*> Split(Pass& z, CodeNode* binary);
// Frees a unary node and returns its operand.
CodeNode* Unwrap(Pass& z, CodeNode* unary);
// left op right, and op(x).
CodeNode* Bin(Pass& z, unsigned char op, CodeNode* left, CodeNode* right);
CodeNode* Un(Pass& z, unsigned char op, CodeNode* x);
CodeNode* Number(Pass& z, double v);

// A number the simplification may compute with: a real constant (pi included) standing alone,
// tied to no variable. Imaginary, phasor and undefined constants are left as they are.
bool IsNumber(const CodeNode* n);
bool IsNumberValue(const CodeNode* n, double v);
bool IsBinary(const CodeNode* n, unsigned char code);
bool IsUnary(const CodeNode* n, unsigned char code);
// Left operand of a binary node (the run after the right operand).
const CodeNode* LeftOf(const CodeNode* binary);
// Whether the runs starting at a and b are equal node by node (kind, form, value, variable).
bool SameRun(const CodeNode* a, const CodeNode* b);
// Copy of the run that starts at node, as a list of its own.
CodeNode* CopyRun(Pass& z, const CodeNode* node);
// Whether `incoming` goes before `existing` in a sorted sum or product.
bool GoesBefore(const CodeNode* existing, const CodeNode* incoming, Order order);

// Real arithmetic on numbers as the evaluator does it; false when the evaluator reports an
// error, and the numbers are then left uncombined.
bool Combine(Pass& z, unsigned char op, double a, double b, double& result);
bool Apply(Pass& z, unsigned char op, double x, double& result);

inline bool IsInteger(double v) {
    return v > -1e15 && v < 1e15 && v == static_cast<double>(static_cast<long long>(v));
}

}  // namespace simplify
