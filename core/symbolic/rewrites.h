#pragma once

#include <string>

struct CoreState;

// Rewrites of the compiled equations that turn optimization and estimation problems into
// equation sets. Each works on the model in memory; each refuses, changing nothing, when its
// result would not fit the run's limits (the rewritten set is compiled again later and must
// pass the compiler's limits), and then reports "Too Many Variables" or "Too Many Equations"
// and stops the run. They return whether the rewrite was made.

// The variable of that name, added after the others when there is none yet (the caller sees
// that the table has room). A new variable gets a starting value from the guess range, as the
// compiler would give it.
int VariableNamed(CoreState& s, const std::string& name);

// Names of the multiplier (0xEC e) and the slack variable (0xE4 e) of equation e.
std::string MultiplierName(int equation);
std::string SlackName(int equation);

// Constrained optimization: the objectives (equations without a relation) and the
// constraints become one Lagrangian, equation 1:
//   S = m_e * c_e + ... + (objective + 0)
// with c_e the residual of an equality, SQUARE(s_e) - r for r > 0 ('>', 0xF2) and
// SQUARE(s_e) + r for r < 0 ('<', 0xF3). Its stationary points are the optimality conditions.
// Multipliers and slacks are new variables after the document's own; equations the
// elimination retired take no part, while one only marked for elimination is an equality.
bool LagrangianRewrite(CoreState& s);

// Least squares over the rows of the attached list file: for every row and every equation,
// the square of the equation's residual with the row's values in place of the named
// variables, summed into equation 1. The Jacobian method becomes symbolic and the Jacobian is
// requested, since the optimum is found from the gradient.
bool LeastSquaresRewrite(CoreState& s);

// The equations written once per data row of the list file, with the row's values in place
// of the named variables, as one set.
bool ReplicateRows(CoreState& s);

// A homotopy from the start system x_i^2 - 1 = 0: equation i becomes
// f_i * t + (x_i^2 - 1) * (1 - t), every variable starts at 1 (the start system's solution),
// and the parameter t (named 't' 0xEB, starting at 0) is added with the equation t - 1. Only a
// square set pairs each equation with a variable; any other is refused with "Not enough
// equations" or "Too Many Equations".
bool StartSystemHomotopyRewrite(CoreState& s);
