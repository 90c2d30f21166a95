// Sparse LU factorization in a fixed pivot order and the substitutions with its factors.
//
// With rows and columns permuted into pivot order, A = L U where L is unit lower triangular
// and U upper triangular. Right-looking elimination: for k = 1..n and every later row t with
// A[t][k] != 0, m = A[t][k] / A[k][k] replaces A[t][k], and A[t][j] -= m * A[k][j] for every
// later column j. The pattern of the result is closed under this update because the analysis
// created every fill-in entry, so the elimination is exact without allocating.
// Solving A x = b is then L y = b (forward, y[k] = b[k] - sum_{j<k} L[k][j] y[j]) followed by
// U x = y (back, x[k] = (y[k] - sum_{j>k} U[k][j] x[j]) / U[k][k]).
//
// Divisions use the evaluator's guarded division: a pivot that has become zero in a later Newton
// step (no threshold is applied there) yields the largest number, which the step halving can
// deal with, instead of an infinity or NaN that would poison every value of the group.

#include <cassert>
#include <vector>

#include "core/base/core_state.h"
#include "core/eval/guarded.h"
#include "core/solve/grouping.h"
#include "core/solve/large_group.h"

namespace grouping {

int FirstPosition(const SolveState& v, int group) {
    return group <= 1 ? 1 : v.groupLast[group - 1] + 1;
}

int LastPosition(const SolveState& v, int group) {
    return v.groupLast[group];
}

long FactorEntries(const CoreState& s, int group) {
    const SolveState& v = s.solve;
    if (large_group::Holds(v, group)) return large_group::FactorEntries(v, group);
    long entries = 0;
    for (int k = FirstPosition(v, group); k <= LastPosition(v, group); ++k) {
        for (const JacobianEntry* e = v.rowHead[v.pivotEquation[k]]; e != nullptr; e = e->nextInRow)
            ++entries;
    }
    return entries;
}

JacobianEntry* FindEntry(JacobianEntry* row, int variable) {
    for (; row != nullptr; row = row->nextInRow) {
        if (row->variable == variable) return row;
    }
    return nullptr;
}

void EliminateBelow(CoreState& s, const JacobianEntry& pivot, const std::vector<char>& equationDone,
                    const std::vector<char>& variableDone, bool numeric, bool createFill) {
    SolveState& v = s.solve;
    const int pivotVar = pivot.variable;
    for (JacobianEntry* target = v.columnHead[pivotVar]; target != nullptr;
         target = target->nextInColumn) {
        const int t = target->equation;
        if (equationDone[t]) continue;
        for (JacobianEntry* e = v.rowHead[t]; e != nullptr; e = e->nextInRow) {
            v.work[e->variable] = e->value;
            v.workMark[e->variable] = 1;
        }
        const double multiplier =
            numeric ? GuardedDiv(s, target->value, pivot.value) : target->value;
        for (const JacobianEntry* p = v.rowHead[pivot.equation]; p != nullptr; p = p->nextInRow) {
            const int w = p->variable;
            if (variableDone[w]) continue;
            if (!v.workMark[w]) {
                // The analysis creates every fill-in; the fixed-order factorization relies on it.
                assert(createFill);
                if (!createFill) continue;
                JacobianEntry* fill = v.entries.allocate();
                fill->equation = t;
                fill->variable = w;
                fill->fill = true;
                fill->nextInRow = v.rowHead[t];
                v.rowHead[t] = fill;
                fill->nextInColumn = v.columnHead[w];
                v.columnHead[w] = fill;
                ++v.columnLength[w];
                ++v.columnEntries[w];
                v.work[w] = 0.0;
                v.workMark[w] = 1;
            }
            if (numeric) v.work[w] = v.work[w] - multiplier * p->value;
        }
        v.work[pivotVar] = multiplier;
        for (JacobianEntry* e = v.rowHead[t]; e != nullptr; e = e->nextInRow) {
            if (numeric) e->value = v.work[e->variable];
            v.work[e->variable] = 0.0;
            v.workMark[e->variable] = 0;
        }
    }
}

}  // namespace grouping

namespace {

// The pivot entry of position k: normally the diagonal pointer the analysis left behind.
JacobianEntry* PivotEntry(SolveState& v, int k) {
    const int eq = v.pivotEquation[k];
    JacobianEntry* d = v.diagonal[eq];
    if (d != nullptr && d->variable == v.pivotVariable[k]) return d;
    return grouping::FindEntry(v.rowHead[eq], v.pivotVariable[k]);
}

// The elimination step of position k in the fixed order: the rows and variables done are those
// at positions up to k. The group's rows hold only the group's variables once the analysis has
// dropped the terms between groups, so positions alone tell what is done.
void EliminateAtPosition(CoreState& s, int k, const JacobianEntry& pivot) {
    SolveState& v = s.solve;
    const int pivotVar = pivot.variable;
    const JacobianEntry* pivotRow = v.rowHead[pivot.equation];
    for (JacobianEntry* target = v.columnHead[pivotVar]; target != nullptr;
         target = target->nextInColumn) {
        const int t = target->equation;
        if (v.positionOf[t] <= k) continue;
        for (const JacobianEntry* e = v.rowHead[t]; e != nullptr; e = e->nextInRow) {
            v.work[e->variable] = e->value;
            v.workMark[e->variable] = 1;
        }
        const double multiplier = GuardedDiv(s, target->value, pivot.value);
        for (const JacobianEntry* p = pivotRow; p != nullptr; p = p->nextInRow) {
            const int w = p->variable;
            // The analysis created every fill-in of this order; a position without an entry
            // would be lost, so it is never written.
            assert(v.variablePosition[w] <= k || v.workMark[w]);
            if (v.variablePosition[w] <= k || !v.workMark[w]) continue;
            v.work[w] = v.work[w] - multiplier * p->value;
        }
        v.work[pivotVar] = multiplier;
        for (JacobianEntry* e = v.rowHead[t]; e != nullptr; e = e->nextInRow) {
            e->value = v.work[e->variable];
            v.work[e->variable] = 0.0;
            v.workMark[e->variable] = 0;
        }
    }
}

}  // namespace

void FactorizeGroup(CoreState& s, int group) {
    SolveState& v = s.solve;
    if (large_group::Holds(v, group)) {
        large_group::Refactorize(s, group);
        return;
    }
    const int first = grouping::FirstPosition(v, group), last = grouping::LastPosition(v, group);
    for (int k = first; k <= last; ++k) {
        const JacobianEntry* pivot = PivotEntry(v, k);
        assert(pivot != nullptr);
        if (pivot != nullptr) EliminateAtPosition(s, k, *pivot);
    }
}

void SubstituteGroup(CoreState& s, int group, std::vector<double>& f) {
    SolveState& v = s.solve;
    if (large_group::Holds(v, group)) {
        large_group::Solve(s, group, f);
        return;
    }
    const int first = grouping::FirstPosition(v, group), last = grouping::LastPosition(v, group);
    for (int k = first; k <= last; ++k) {
        for (const JacobianEntry* e = v.rowHead[v.pivotEquation[k]]; e != nullptr;
             e = e->nextInRow) {
            const int j = v.variablePosition[e->variable];
            if (j >= first && j < k) f[k] -= e->value * f[j];
        }
    }
    for (int k = last; k >= first; --k) {
        const JacobianEntry* pivot = nullptr;
        for (const JacobianEntry* e = v.rowHead[v.pivotEquation[k]]; e != nullptr;
             e = e->nextInRow) {
            const int j = v.variablePosition[e->variable];
            if (j > k && j <= last) {
                f[k] -= e->value * f[j];
            } else if (j == k) {
                pivot = e;
            }
        }
        assert(pivot != nullptr);
        if (pivot != nullptr) f[k] = GuardedDiv(s, f[k], pivot->value);
    }
}
