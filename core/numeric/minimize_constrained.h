#pragma once

#include <vector>

#include "core/numeric/smooth_problem.h"

// Constrained minimization by a primal-dual interior-point method with the exact Hessian of the
// Lagrangian, inertia correction and a merit line search; the mathematics and stopping rules
// are in minimize_constrained.cpp. The result carries the multipliers of the constraints
// (lambda_i >= 0 for an inequality at a minimum).
MinimizeResult MinimizeInteriorPoint(SmoothProblem& problem, const std::vector<double>& start,
                                     const MinimizeSettings& settings,
                                     const ProgressSink& progress = {});

// The optimality error the method stops on, without the barrier term: the largest of
//   |g - J^T lambda|_inf / max(1, |g|_inf),
//   the violation of the constraints / max(1, |x|_inf),
//   max_i |lambda_i c_i| / max(1, |f|) over the inequalities.
double KktError(double f, const std::vector<double>& x, const std::vector<double>& g,
                const std::vector<double>& c, const std::vector<bool>& equality,
                const DenseMatrix& jacobian, const std::vector<double>& lambda);
