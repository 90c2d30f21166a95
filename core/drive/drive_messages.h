#pragma once

// Texts of the solve command, the stepping and the parameter sweep.
namespace drive_message {
inline constexpr const char* kNotEnoughVariables = "Nema dovoljnoo varijabli";
inline constexpr const char* kNotEnoughEquations = "Not enough equations";
inline constexpr const char* kTooManyEquations = "Too many equations";
inline constexpr const char* kIfMask = "IF MASK: ";
inline constexpr const char* kHomotopyTransformation = "Performing Homotopy Transformation ";
inline constexpr const char* kSolving = "\nSolving...\n";
inline constexpr const char* kSolvedFor = "Solved for %.3lf seconds\n";
inline constexpr const char* kIfsNotOk = " IFs not OK";
inline constexpr const char* kSweepNoVariable = "Sweep: no such variable in the equations";
inline constexpr const char* kSweepSameVariable =
    "Sweep: the swept variable and the parameter must be different variables";
inline constexpr const char* kSweepNoSteps = "Sweep: the number of steps must be at least 1";
inline constexpr const char* kSweepNoNumber = "Sweep: the range must be finite numbers";
inline constexpr const char* kSweepTooManySteps = "Sweep: too many steps; one sweep takes at most ";
}  // namespace drive_message

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
inline constexpr const char* kHertz = "f[Hz]";  // first column, by axis
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
}  // namespace update_message

// Texts of least-squares fits ('ALR') and their statistics.
namespace fit_message {
inline constexpr const char* kFitting = "Fitting ";  // + parameters + to + observations
inline constexpr const char* kParametersTo = " parameters to ";
inline constexpr const char* kObservationsDot = " observations";
inline constexpr const char* kLinearMethod =
    "Linear in its parameters: solved by one QR factorization";
inline constexpr const char* kIterativeMethod = "Levenberg-Marquardt from the starting values";
inline constexpr const char* kIteration = "Iter:";                       // + "%4d"
inline constexpr const char* kIterationSum = "  Sum of Squares: %.10g";  // printf format
inline constexpr const char* kNoRows = "The list file holds no rows of values to fit";
inline constexpr const char* kNoParameters =
    "Nothing to fit: every variable of the equations is a column of the list file";
inline constexpr const char* kFewerObservations = "Fewer observations than parameters: ";
inline constexpr const char* kObservationsFor = " observations for ";
inline constexpr const char* kParameters = " parameters";
inline constexpr const char* kTooManyObservations =
    "Too many observations: a fit takes at most 2147483647 residuals";
inline constexpr const char* kComplex =
    "A fit needs real arithmetic; the options line asks for complex";
// Why the fit ended (printf formats; tolerances and counts as the settings give them).
inline constexpr const char* kConvergedSum =
    "Converged: the sum of squares cannot fall by a relative %.0e more";
inline constexpr const char* kConvergedStep =
    "Converged: the parameters change by less than a relative %.0e";
inline constexpr const char* kConvergedSumAndStep =
    "Converged: the sum of squares cannot fall by a relative %.0e more, and the parameters "
    "change by less than that";
inline constexpr const char* kConvergedGradient =
    "Converged: the residuals are orthogonal to the model's derivatives within %.0e";
inline constexpr const char* kLinearSolved = "Least-squares solution of the linear model";
inline constexpr const char* kEvaluationLimit =
    "Not converged: the limit of %d evaluations of the model was reached";
inline constexpr const char* kStartNotEvaluated =
    "The model cannot be evaluated at the starting values: equation %d";
inline constexpr const char* kJacobianNotEvaluated =
    "The derivatives of the model cannot be evaluated: equation %d";
inline constexpr const char* kAtLine = ", line %d of the list file";
inline constexpr const char* kNotANumber = "the value overflows or is undefined";
inline constexpr const char* kDomainEdge =
    "Not converged: the model cannot be evaluated anywhere near the last parameters";
inline constexpr const char* kStopped = "The fit was stopped";
inline constexpr const char* kSumRose = "Sum of squares rose from %.10g to %.10g";
inline constexpr const char* kNotLeastSquares =
    "The solution of the gradient equations is no least-squares fit:";
inline constexpr const char* kNoTestHolds =
    "neither the test on the sum of squares (%.0e) nor the test on the gradient (%.0e) holds "
    "there";
inline constexpr const char* kDependent =
    "The parameters are not independent: those that depend on the others keep their "
    "starting values";
inline constexpr const char* kSaved = "Fit Statistics Saved to File:  ";  // + name
// The statistics.
inline constexpr const char* kTitle = "Regression Statistics: ";
inline constexpr const char* kObservations = " observations, ";
inline constexpr const char* kParameterLine = "%-9s %22s %22s %22s %22s %22s";
inline constexpr const char* kParameterHeading = "Parameter";
inline constexpr const char* kEstimate = "Estimate";
inline constexpr const char* kStandardError = "Standard Error";
inline constexpr const char* kTValue = "t-value";
inline constexpr const char* kLower = "Lower %g%%";  // the confidence level in percent
inline constexpr const char* kUpper = "Upper %g%%";
inline constexpr const char* kNoErrors =
    "Standard errors need more observations than parameters "
    "and independent parameters";
inline constexpr const char* kRss = "Residual Sum of Squares:     ";
inline constexpr const char* kRms = "RMS of Residuals:            ";
inline constexpr const char* kResidualSd = "Residual Standard Deviation: ";
inline constexpr const char* kDegreesOfFreedom = "Degrees of Freedom:          ";
inline constexpr const char* kRSquared = "R-Squared:                   ";
inline constexpr const char* kAdjustedRSquared = "Adjusted R-Squared:          ";
inline constexpr const char* kCorrelation = "Correlation of the Estimates:";
inline constexpr const char* kCorrelationName = "%-9s";
inline constexpr const char* kCorrelationHead = " %9s";
inline constexpr const char* kCorrelationCell = " %9.4f";
}  // namespace fit_message
