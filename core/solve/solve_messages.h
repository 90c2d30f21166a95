#pragma once

// Texts of the Newton kernel: the structure analysis, the iterations, the homotopy and the
// reports of a solve.
namespace solve_message {
inline constexpr const char* kHomotopyFailed = "Homotopy method did not converge";
inline constexpr const char* kSeeManual = "See Manual for options";
inline constexpr const char* kHomotopyError = "Error %.6f";  // the parameter's value
inline constexpr const char* kErrorInSolution = "Error in Solution ";  // + step
inline constexpr const char* kSolutionFound = "Solution Found!";
inline constexpr const char* kConditionsSolved = "Stationarity conditions solved";
inline constexpr const char* kIterationLimit = "Iteration Limit Sol ";  // + step
inline constexpr const char* kGroupFailedEquation = "Eqn ";  // + last equation of the group
inline constexpr const char* kGroupFailed = " group failed";
inline constexpr const char* kIterationEquation = "Eq:";
inline constexpr const char* kIterationTolerance = "  Tol: E";
inline constexpr const char* kIterationCount = "  Iter:";
inline constexpr const char* kSolvableIn = " equations solvable in ";
inline constexpr const char* kGroups = " groups";
inline constexpr const char* kEquation = "Equation ";  // + number + singular or dependent
inline constexpr const char* kSingular = " is Singular or Inconsistent";
inline constexpr const char* kDependent = " Depends on Other Equations";
inline constexpr const char* kJacobianEvaluation = "Error Evaluating Jacobian for Equation ";
inline constexpr const char* kErrorInEquation = "Error in Eqn ";
inline constexpr const char* kTryComplex = ", try complex mode";
}  // namespace solve_message
