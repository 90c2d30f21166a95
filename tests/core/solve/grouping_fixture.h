#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/run/core_state.h"
#include "core/solve/grouping.h"

using Dense = std::vector<std::vector<double>>;  // [equation][variable], 1-based, 0 = no term

// A solver state with hand-built Jacobian rows.
struct GroupingHarness {
    CoreState s;
    std::string out;

    explicit GroupingHarness(int n) {
        s.console.callback = [this](const char* t) { out += t; };
        s.model.count = n;
        s.names.variableCount = n;
        for (int k = 1; k <= n; ++k) {
            s.solve.pivotEquation[k] = k;
            s.solve.positionOf[k] = k;
            s.solve.groupOf[k] = 1;
        }
        s.solve.groupCount = 1;
        s.solve.groupLast[1] = n;
    }

    int n() const { return s.model.count; }
    int beeps() const { return s.defaultShell.beeps; }

    // A term at the head of its row, so the last one added comes first in row order.
    JacobianEntry* Add(int eq, int var, double value = 1.0) {
        JacobianEntry* e = s.solve.entries.allocate();
        e->equation = eq;
        e->variable = var;
        e->value = value;
        e->nextInRow = s.solve.rowHead[eq];
        s.solve.rowHead[eq] = e;
        return e;
    }

    // Non-zero terms of a matrix; each row lists its variables in ascending order.
    void Load(const Dense& a) {
        for (int eq = 1; eq <= n(); ++eq) {
            for (int var = n(); var >= 1; --var) {
                if (a[eq][var] != 0.0) Add(eq, var, a[eq][var]);
            }
        }
    }

    // Gives every term its value in a; fill-in terms start at 0 as after an evaluation.
    void Refresh(const Dense& a) {
        for (int eq = 1; eq <= n(); ++eq) {
            for (JacobianEntry* e = s.solve.rowHead[eq]; e != nullptr; e = e->nextInRow) {
                e->value = e->fill ? 0.0 : a[eq][e->variable];
            }
        }
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

// Gaussian elimination with partial pivoting on a copy; the reference solution of a x = b.
inline std::vector<double> DenseSolve(Dense a, std::vector<double> b) {
    const int n = static_cast<int>(b.size()) - 1;
    for (int k = 1; k <= n; ++k) {
        int p = k;
        for (int i = k + 1; i <= n; ++i) {
            if (std::fabs(a[i][k]) > std::fabs(a[p][k])) p = i;
        }
        std::swap(a[k], a[p]);
        std::swap(b[k], b[p]);
        for (int i = k + 1; i <= n; ++i) {
            const double m = a[i][k] / a[k][k];
            for (int j = k; j <= n; ++j) a[i][j] -= m * a[k][j];
            b[i] -= m * b[k];
        }
    }
    std::vector<double> x(n + 1, 0.0);
    for (int k = n; k >= 1; --k) {
        double sum = b[k];
        for (int j = k + 1; j <= n; ++j) sum -= a[k][j] * x[j];
        x[k] = sum / a[k][k];
    }
    return x;
}

// A random n x n matrix with roughly the given share of terms, made structurally regular by a
// term on a random permutation; term magnitudes lie in [0.1, 1] so no pivot nearly vanishes.
inline Dense RandomSparse(std::mt19937& rng, int n, double density) {
    std::uniform_real_distribution<double> magnitude(0.1, 1.0), unit(0.0, 1.0);
    auto term = [&] { return unit(rng) < 0.5 ? -magnitude(rng) : magnitude(rng); };
    std::vector<int> perm(n + 1);
    for (int i = 0; i <= n; ++i) perm[i] = i;
    std::shuffle(perm.begin() + 1, perm.end(), rng);
    Dense a(n + 1, std::vector<double>(n + 1, 0.0));
    for (int eq = 1; eq <= n; ++eq) {
        for (int var = 1; var <= n; ++var) {
            if (var == perm[eq] || unit(rng) < density) a[eq][var] = term();
        }
    }
    return a;
}

inline std::vector<double> RandomVector(std::mt19937& rng, int n) {
    std::uniform_real_distribution<double> d(-5.0, 5.0);
    std::vector<double> b(n + 1, 0.0);
    for (int i = 1; i <= n; ++i) b[i] = d(rng);
    return b;
}
