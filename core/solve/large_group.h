#pragma once

#include <vector>

struct CoreState;
struct SolveState;

// Sparse LU of the large groups, by SuiteSparse's KLU: an approximate-minimum-degree ordering of
// the group and partial pivoting with a threshold that prefers the diagonal, factors kept in
// compressed columns. The ordering elimination of the small groups walks linked rows and scatters
// whole rows at every update; on a two-dimensional mesh of thousands of equations that costs far
// more than the arithmetic of its factors.
//
// The group's matrix has row i for the equation at position first + i and column j for the
// variable at position first + j; the terms are read from the group's Jacobian entries, which
// keep their values (no factor is stored in them).
namespace large_group {

// Groups of at least this many equations are factorized here; below it the ordering elimination
// is as fast or faster (docs/performance.md gives the measurement).
inline constexpr int kMinSize = 64;

// Drops the factors of an earlier analysis.
void Reset(SolveState& v);

// Orders and factorizes the group, at positions first .. first + size - 1, on its current
// terms. Returns false, keeping nothing, when a pivot's magnitude (unscaled) is at most
// pivotThreshold, that of the ordering elimination: the caller orders such a group as a small
// one, which names the equation that depends on others.
bool Analyse(CoreState& s, int group, int first, int size, double pivotThreshold);

// The group's factors are kept here.
bool Holds(const SolveState& v, int group);

// Factorizes the group again on its freshly evaluated terms in the order of the analysis; when
// the pivots of that order have become unstable, the pivots are chosen again. Terms equal to
// those of the last factorization keep its factors.
void Refactorize(CoreState& s, int group);

// Solves with the group's factors; f is indexed by position as in SubstituteGroup.
void Solve(CoreState& s, int group, std::vector<double>& f);

// Entries of the group's factors, L and U together with each pivot once.
long FactorEntries(const SolveState& v, int group);

}  // namespace large_group
