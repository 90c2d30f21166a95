#pragma once

#include <string>
#include <vector>

#include "core/base/code_node.h"

struct CoreState;

namespace fit_message {
inline constexpr const char* kTitle = "Regression Statistics: ";
inline constexpr const char* kObservations = " observations, ";
inline constexpr const char* kParameters = " parameters";
inline constexpr const char* kHeader = "Parameter             Estimate         Standard Error";
inline constexpr const char* kNoErrors =
    "Standard errors need more observations than parameters "
    "and independent parameters";
inline constexpr const char* kRss = "Residual Sum of Squares:     ";
inline constexpr const char* kRms = "RMS of Residuals:            ";
inline constexpr const char* kResidualSd = "Residual Standard Deviation: ";
inline constexpr const char* kRSquared = "R-Squared:                   ";
}  // namespace fit_message

// The residuals of a least-squares fit over the rows of the list file, kept aside before the
// rewrite so that the fit can be judged once the rewritten problem has been solved (which
// compiles its own variables, numbered anew: the codes are tied to them by name).
struct FitData {
    std::vector<CodeNode*> residuals;  // per row and equation, evaluation form, owned
    std::vector<double> observed;      // the response's value per residual (NaN when none)
    std::vector<std::string> names;    // names of the variables the codes refer to, by number
};

// Reads the list file quietly and keeps each equation's residual with every row's values in
// place. The response of an equation is a data column standing alone on one side of it
// (y = f(x, b) or f(x, b) = y). False when the file cannot be read.
bool CollectFitData(CoreState& s, FitData& fit);
void FreeFitData(CoreState& s, FitData& fit);

// The fit at the current values of the variables. With n residuals r_i, p parameters b (the
// variables left in the residuals) and J the n x p matrix of dr_i/db_j (symbolic derivatives,
// evaluated):
//   RSS = sum r_i^2, RMS = sqrt(RSS / n), s = sqrt(RSS / (n - p)) (the residual standard
//   deviation), R^2 = 1 - RSS / sum (y_i - mean y)^2 when every residual has a response y,
//   standard error of b_j = s * sqrt(((J^T J)^-1)_jj),
// the covariance (J^T J)^-1 taken from a Householder QR of J (J = QR, (J^T J)^-1 = R^-1 R^-T)
// rather than from J^T J itself, which would square its condition.
struct FitStatistics {
    bool valid = false;    // the residuals could be evaluated at the solution
    int observations = 0;  // n
    std::vector<std::string> names;
    std::vector<double> estimates;
    std::vector<double> standardErrors;
    bool haveErrors = false;  // n > p and J of full rank
    double rss = 0.0, rms = 0.0, residualSd = 0.0;
    bool haveResidualSd = false;
    double rSquared = 0.0;
    bool haveRSquared = false;
};

FitStatistics ComputeFitStatistics(CoreState& s, const FitData& fit);
void ReportFitStatistics(CoreState& s, const FitStatistics& statistics);
