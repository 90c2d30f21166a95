#pragma once

#include <vector>

#include "core/numeric/smooth_problem.h"

// Unconstrained minimization by Newton steps in a trust region, with the exact Hessian and f
// itself as the merit function; the mathematics and stopping rules are in
// minimize_unconstrained.cpp. The problem's constraints, if any, are not looked at.
MinimizeResult MinimizeTrustRegion(SmoothProblem& problem, const std::vector<double>& start,
                                   const MinimizeSettings& settings,
                                   const ProgressSink& progress = {});
