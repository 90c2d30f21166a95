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
inline constexpr const char* kSweepHeader = "PARAMETER:%10s  %7d";  // name, 0-based position
inline constexpr const char* kSweepNoVariable = "Sweep: no such variable in the equations";
inline constexpr const char* kSweepSameVariable =
    "Sweep: the swept variable and the parameter must be different variables";
inline constexpr const char* kSweepNoSteps = "Sweep: the number of steps must be at least 1";
inline constexpr const char* kSweepNoNumber = "Sweep: the range must be finite numbers";
inline constexpr const char* kSweepTooManySteps = "Sweep: too many steps; one sweep takes at most ";
}  // namespace solve_message

// Texts of the FFT of a result series.
namespace fft_message {
inline constexpr const char* kNotPeriodic = "Signal not quite periodic";
inline constexpr const char* kPeriodError = "Period error is about ";  // + "%.6f"
inline constexpr const char* kNotPowerOfTwo = " points not a power of 2, series trucated";
inline constexpr const char* kFound = "\nFFT is Found!";
inline constexpr const char* kTooFewSamples = " samples: at least 2 are needed for a spectrum";
inline constexpr const char* kNoPeriod =
    "The independent variable does not change: the spectrum has no frequency step";
inline constexpr const char* kOverflow =
    "The spectrum overflows: the samples are too large to transform (nothing written)";
inline constexpr const char* kRowsLeftOut = " rows without numbers in the chosen columns left out";
inline constexpr const char* kParameter = "PARAMETER:";  // first 10 characters of its line
inline constexpr const char* kHertz = "f[Hz]";           // first column, by axis
inline constexpr const char* kRadians = "w[rad/s]";
inline constexpr const char* kIndex = "n";
inline constexpr const char* kAmplitude = "Amplitude";
inline constexpr const char* kPhase = "Phase";
}  // namespace fft_message

// Texts of the repetitive updates.
namespace update_message {
inline constexpr const char* kFile = "File ";  // + name + does not exist
inline constexpr const char* kDoesNotExist = " Does Not Exist";
inline constexpr const char* kNumberOfSteps = "Number of Steps: ";  // + "%4d"
inline constexpr const char* kSolveFirst = "Solve problem before updating";
inline constexpr const char* kUpdating = "Updating";
inline constexpr const char* kRow = "Row ";  // + line + short row
inline constexpr const char* kShortRow =
    " of the update file has fewer values than names: left out";
inline constexpr const char* kNoNumber =
    " of the update file holds a value that is no finite number (nan, inf): left out";
}  // namespace update_message
