#pragma once

#include <vector>

struct CoreState;
struct SolveState;
struct JacobianEntry;

// Ordering, grouping and sparse LU factorization of the Jacobian.
//
// The Newton step solves J dx = F with J stored as row lists of JacobianEntry. The analysis
// picks a pivot order P J Q = L U: position k holds pivot equation pivotEquation[k] and pivot
// variable pivotVariable[k]. After factorization every entry of a row stays where it is and
// holds either a multiplier of L (its variable is pivoted at an earlier position), a term of
// U (later position) or the pivot U[k][k] (the pivot entry, also kept in diagonal[equation]).
// The positions are cut into groups; each group only refers to its own variables, the values
// of earlier groups being held fixed while a group is stepped.

// Structure analysis at the start of a solve loop, once the Jacobian rows can be built:
// structural ordering on the pattern, grouping, then numerical ordering and factorization on
// the values at the current point. Sets s.solve.structureFailure (with a console message and
// the stop flag) when equations are singular or dependent.
void AnalyseStructure(CoreState& s);

// Factorizes one group in the fixed pivot order on the freshly evaluated values. Needs the
// entry pattern of the analysis (fill-in entries included); creates nothing, re-chooses
// nothing.
void FactorizeGroup(CoreState& s, int group);

// Solves one group with its factors. f is indexed by position: on entry f[k] is the residual
// of pivotEquation[k], on return the step of pivotVariable[k]. Other positions are untouched.
void SubstituteGroup(CoreState& s, int group, std::vector<double>& f);

// Pieces of the analysis, reachable for tests.
namespace grouping {

enum class Mode { kStructural, kNumerical };

// Magnitude at or below which a numerical pivot is rejected: the equation depends on others.
inline constexpr double kPivotThreshold = 1e-18;

// First and last position of a group (1-based).
int FirstPosition(const SolveState& v, int group);
int LastPosition(const SolveState& v, int group);

// Column lists of equations 1..n, each ordered by position (pivotEquation gives the order).
void BuildColumns(SolveState& v, int n);

// One ordering elimination over equations 1..n: assigns pivotEquation, pivotVariable,
// positionOf and matchOf, creates fill-in entries and, in numerical mode, leaves the factors in
// the entries. The equations' current groups offset their counts so that the groups keep their
// places. The groups marked in factoredGroups (indexed by group; empty marks none) are left as
// they are: their factors are kept apart (large_group.h). Returns false after reporting a
// singular or dependent equation.
bool OrderEquations(CoreState& s, Mode mode, const std::vector<char>& factoredGroups = {});

// Splits the structurally ordered equations into groups (one group when the solve-in-groups
// setting is off), renumbers the positions group by group and writes the count line.
void GroupEquations(CoreState& s);

// Writes the count line: the equations and the groups they are solved in.
void WriteGroupCount(CoreState& s);

// The groups of a set larger than the default tables, found without an ordering elimination
// (whose cost on a mesh grows nearly with the square of the set): a maximum matching of equations
// with variables, and as groups the strongly connected blocks of the dependencies it gives, each
// block after every block it depends on (one group when the solve-in-groups setting is off).
// Assigns the positions, matchOf and the groups and writes the count line. Returns false, changing
// nothing, when no matching takes every equation: the set is structurally singular.
bool FindBlocks(CoreState& s);

// Entries the factors of a group hold, the terms of L and U together and each pivot once.
long FactorEntries(const CoreState& s, int group);

// The entry of a row for a variable, or null.
JacobianEntry* FindEntry(JacobianEntry* row, int variable);

// Eliminates the pivot's variable from every row of its column whose equation is not done:
// row t := row t - m * pivot row over the variables not done, m = J[t][v] / J[p][v] being left
// in row t's entry for v. Rows lacking a needed entry get a fill-in entry (value 0) at the head
// of the row and of the column when createFill is set. numeric false: pattern only.
void EliminateBelow(CoreState& s, const JacobianEntry& pivot, const std::vector<char>& equationDone,
                    const std::vector<char>& variableDone, bool numeric, bool createFill);

// Unlinks every entry whose equation and variable lie in different groups, freeing its code,
// and the fill-ins of the structural ordering: the numerical ordering chooses its own order
// and creates the fill-ins that order needs. Kept, they would count as terms of the rows and
// lead the numerical ordering into filling in around them as well (on a two-dimensional mesh
// of 400 equations five times the fill-ins, and most of the solve's time).
void DropCrossGroupEntries(CoreState& s);

}  // namespace grouping
