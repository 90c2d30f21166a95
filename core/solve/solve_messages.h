#pragma once

// Texts of the solve commands, the solve loop and its reports.
namespace solve_message {
inline constexpr const char* kNotEnoughVariables = "Nema dovoljnoo varijabli";
inline constexpr const char* kNotEnoughEquations = "Not enough equations";
inline constexpr const char* kTooManyEquations = "Too many equations";
inline constexpr const char* kIfMask = "IF MASK: ";
inline constexpr const char* kHomotopyTransformation = "Performing Homotopy Transformation ";
inline constexpr const char* kHomotopyFailed = "Homotopy method did not converge";
inline constexpr const char* kSeeManual = "See Manual for options";
inline constexpr const char* kHomotopyError = "Error %.6f";  // the parameter's value
inline constexpr const char* kSolving = "\nSolving...\n";
inline constexpr const char* kSolvedFor = "Solved for %.3lf seconds\n";
inline constexpr const char* kIfsNotOk = " IFs not OK";
inline constexpr const char* kErrorInSolution = "Error in Solution ";  // + step
inline constexpr const char* kSolutionFound = "Solution Found!";
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
inline constexpr const char* kSweepHeader = "PARAMETER:%10s  %7d";  // name, 0-based position
inline constexpr const char* kSweepNoVariable = "Sweep: no such variable in the equations";
inline constexpr const char* kSweepSameVariable =
    "Sweep: the swept variable and the parameter must be different variables";
inline constexpr const char* kSweepNoSteps = "Sweep: the number of steps must be at least 1";
inline constexpr const char* kSweepTooManySteps = "Sweep: too many steps; one sweep takes at most ";
}  // namespace solve_message
