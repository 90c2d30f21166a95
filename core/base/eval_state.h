#pragma once

#include <vector>

#include "core/base/flat_code.h"
#include "core/base/limits.h"

struct ComplexValue {
    double re;
    double im;
};

// The evaluator's working storage: one value stack shared by all evaluations.
struct EvalState {
    explicit EvalState(const Limits& limits) : stack(limits.stackEntries + 1, ComplexValue{0, 0}) {}
    void resize(const Limits& limits) { stack.assign(limits.stackEntries + 1, ComplexValue{0, 0}); }
    std::vector<ComplexValue> stack;   // entries 1..stackEntries; entry 1 holds the result
    bool expOverflowReported = false;  // "Overflow in EXP" shown since the last in-range EXP
    bool quiet = false;                // trial evaluations (a fit's trial points) warn of nothing
    FlatCode scratch;                  // a code list's flattened form while it is evaluated
    std::vector<FlatCache> entryCode;  // Jacobian entries' derivative code, by arena slot
};
