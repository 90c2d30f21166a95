#pragma once

#include <string>
#include <vector>

#include "core/base/fit_table.h"
#include "core/numeric/levenberg_marquardt.h"

struct CoreState;

// The statistics a fit is judged by, at its solution x. With n residuals r_i, p parameters b,
// df = n - p degrees of freedom and J the n x p Jacobian at x:
//   RSS = sum r_i^2, RMS = sqrt(RSS / n), s = sqrt(RSS / df) (the residual standard deviation);
//   C = (J^T J)^-1 = P R^-1 R^-T P^T from the pivoted QR J P = Q R (J^T J itself is never
//   formed: it would square the condition of J);
//   standard error se_j = s sqrt(C_jj), t-value b_j / se_j, confidence interval
//   b_j -+ t(df, (1 + level) / 2) se_j with the quantile of Student's t distribution;
//   correlation of the estimates C_jk / sqrt(C_jj C_kk);
//   R^2 = 1 - RSS / sum (y_i - mean y)^2 when every residual has an observed response y_i (the
//   sum taken about the mean, for a model with or without a constant term), adjusted
//   R^2 = 1 - (1 - R^2) (n - 1) / df.
// Standard errors, intervals and correlations need df > 0 and J of full column rank (QrRank);
// without them those values are left out. False when the residuals or the Jacobian cannot be
// evaluated at x.
bool ComputeFitStatistics(LeastSquaresProblem& problem, const std::vector<double>& x,
                          const std::vector<std::string>& names,
                          const std::vector<double>& observed, FitStatistics& statistics);

// The statistics on the console: "Regression Statistics: ...", a table of the parameters, the
// residual figures and the correlation matrix.
void ReportFitStatistics(CoreState& s, const FitStatistics& statistics);
