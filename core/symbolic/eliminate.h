#pragma once

#include <vector>

#include "core/base/code_node.h"

struct CoreState;

// Symbolic elimination: an equation is solved for one of its variables, the solution is put in
// place of that variable in every other equation, and the solved equation reads
// variable - solution.
//
// Which variable: an equation written with the relation 0x85 has one to eliminate, the one its
// name marks with 0xA2 or else the first it refers to in evaluation order; with key 'E' an
// assignment (one variable, first, and nothing tied to a variable, as in a = 2*3.5) is
// eliminated without a mark, and so is any equation whose variable is marked with 0xA2.
//
// Solving: a variable that occurs once is freed by undoing the operations on its path, from
// the top of the residual down (x + 2 = 0 gives 0 - 2); one that occurs several times by the
// linear solve -(r(0) / r'), r' the derivative with respect to it, which must no longer hold
// the variable. A variable that cannot be isolated so (a function without an inverse or a
// two-argument function on its path, a non-linear equation, the variable not on the path)
// is reported with "Variable x Cannot Be Eliminated" and its equation is left as it was.

// Every equation's designated variable for key 'B' or 'E'.
void MarkEliminations(CoreState& s, char key);
// Solves equation e for its designated variable and substitutes the solution; false when that
// failed (the message is on the console and nothing was changed).
bool EliminateVariable(CoreState& s, int e);
// Equations whose variable was eliminated with key 'E', and marked equations that were solved,
// are retired (relation 0x85 and the retired flag: no longer written); a marked equation that could not be solved
// stays in the set as an ordinary equation. Designations are cleared.
void FinishEliminations(CoreState& s, char key, const std::vector<char>& failed);

// The whole operation of keys 'FB' and 'FE' on the model; false when a variable could not be
// eliminated (its equation stays in the set).
bool EliminateMarked(CoreState& s, char key);

// The solutions, on an equation's code in parse form; null (after the message) when the
// variable cannot be isolated.
CodeNode* SolveByInversion(CoreState& s, const CodeNode* residual, int variable);
CodeNode* SolveLinear(CoreState& s, const CodeNode* residual, int variable);
