#pragma once

#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/code_builder.h"
#include "core/solve/grouping.h"

using Dense = std::vector<std::vector<double>>;  // [equation][variable], 1-based, 0 = no term

// A solver state over variables x1..xn with hand-built Jacobian rows, each term carrying its
// derivative code.
struct GroupingHarness {
    CoreState s;
    std::string out;

    // The terms of a, each row listing its variables in ascending order, in tables of the
    // given capacity.
    explicit GroupingHarness(const Dense& a, int capacity = Limits::kDefaultCapacity)
        : s(Limits::ForCapacity(capacity)) {
        s.console.callback = [this](const char* t) { out += t; };
        s.model.count = s.names.variableCount = static_cast<int>(a.size()) - 1;
        for (int k = 1; k <= n(); ++k) s.names.name[k] = "x" + std::to_string(k);
        for (int eq = 1; eq <= n(); ++eq) {
            for (int var = n(); var >= 1; --var) {
                if (a[eq][var] != 0.0) Term(eq, var, "0")->code->value = a[eq][var];
            }
        }
    }

    int n() const { return s.model.count; }

    // A term at the head of its row, its code given as postfix tokens.
    JacobianEntry* Term(int eq, int var, const std::string& code) {
        JacobianEntry* e = s.solve.entries.allocate();
        e->equation = eq;
        e->variable = var;
        e->code = testcode::Postfix(s, code);
        e->nextInRow = s.solve.rowHead[eq];
        s.solve.rowHead[eq] = e;
        return e;
    }

    // Solves the group for the residuals r (by equation); returns the step by variable.
    std::vector<double> Step(int group, const std::vector<double>& r) {
        const SolveState& v = s.solve;
        std::vector<double> f(v.delta.size(), 0.0);
        const int first = grouping::FirstPosition(v, group),
                  last = grouping::LastPosition(v, group);
        for (int k = first; k <= last; ++k) f[k] = r[v.pivotEquation[k]];
        SubstituteGroup(s, group, f);
        std::vector<double> dx(n() + 1, 0.0);
        for (int k = first; k <= last; ++k) dx[v.pivotVariable[k]] = f[k];
        return dx;
    }
};
