#pragma once

#include <string>

#include "core/base/core_state.h"
#include "core/code_builder.h"
#include "core/eval/constant_fold.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/symbolic/differentiate.h"

// A core with variables x, y, z (numbers 1, 2, 3) and its console captured. Expressions are
// written as postfix tokens (see code_builder.h) and results read back the same way.
struct SymbolicHarness : testcode::ConsoleCore {
    static constexpr int kX = 1, kY = 2, kZ = 3;

    SymbolicHarness() {
        for (const char* name : {"x", "y", "z"}) testcode::Var(s, name);
    }

    // Parse form of the tokens, as the differentiator takes them.
    CodeNode* Run(const std::string& postfix) { return testcode::Prefix(s, postfix); }

    // The derivative of a parse-form run, in evaluation form ending with ';'.
    CodeNode* Derive(CodeNode* run, int v, bool fold = false) {
        CodeNode* d = MakeNode(s.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
        Differentiate(s, run, v, d);
        if (fold) {
            d = Reverse(d);
            ConstantFold(s, d);
            d = Reverse(d);
        }
        return d;
    }

    double At(const CodeNode* code, double x, double y = 0.7, double z = 0.0) {
        s.names.value[kX] = x;
        s.names.value[kY] = y;
        s.names.value[kZ] = z;
        bool error = false;
        const double v = Evaluate(s, code, error);
        return error ? 1e300 : v;
    }

    std::string Text(const CodeNode* code) const { return testcode::Text(s, code); }
};
