#pragma once

#include <vector>

#include "core/numeric/symmetric_eigen.h"

// The trust-region subproblem of the minimization method: the mathematics and the stopping
// rule are described in trust_region_subproblem.cpp.
//
//     minimize m(p) = g^T p + 1/2 p^T H p   subject to  |p| <= radius
//
// solved through the eigensystem of H, hard case included, so a step always follows negative
// curvature when H has any.
struct SubproblemStep {
    std::vector<double> p;
    double predicted = 0.0;  // -m(p): the decrease the quadratic model predicts, never negative
    double sigma = 0.0;      // the shift of H: (H + sigma I) p = -g, sigma >= 0
    bool onBoundary = false;
};

SubproblemStep SolveTrustRegionSubproblem(const SymmetricEigenSystem& h,
                                          const std::vector<double>& g, double radius);

// The decrease a full Newton step would give, g^T H^-1 g / 2, when H is positive definite (its
// smallest eigenvalue above tolerance times its largest magnitude); -1 otherwise.
double NewtonDecrease(const SymmetricEigenSystem& h, const std::vector<double>& g,
                      double tolerance);
