#pragma once

#include <vector>

#include "core/numeric/dense_matrix.h"
#include "core/numeric/symmetric_eigen.h"

// Whether a point is a minimum: the tests every route to a minimum must pass before a run says
// it found one. The rules and their tolerances are stated in optimality.cpp.

enum class Verdict {
    kMinimum,           // every test holds
    kNotStationary,     // the gradient (of the Lagrangian) does not vanish
    kMaximum,           // stationary, with no direction of positive curvature and some negative
    kSaddle,            // stationary, with curvature of both signs
    kInfeasible,        // a constraint is not satisfied
    kWrongSign,         // the multiplier of an active inequality is negative
    kNotComplementary,  // an inequality that is not active has a multiplier that is not zero
};

struct OptimalityVerdict {
    Verdict verdict = Verdict::kMinimum;
    int constraint = -1;  // the constraint the verdict names, from 0; -1 for none
};

// max_i |g_i| max(|x_i|, 1) / max(|f|, 1): the gradient relative to the scales of f and x.
double ScaledGradient(double f, const std::vector<double>& x, const std::vector<double>& g);

// The gradient vanishes to the tolerance: the scaled gradient is at most tolerance, or, where
// the Hessian is positive definite, a full Newton step would lower f by at most
// tolerance^2 max(|f|, 1) (the gradient is then zero to the accuracy f can be evaluated with,
// whatever the scaling of the variables).
bool GradientVanishes(double f, const std::vector<double>& x, const std::vector<double>& g,
                      const SymmetricEigenSystem& hessian, double tolerance);

// The sign of the curvature of a symmetric matrix, from its ascending eigenvalues: an
// eigenvalue below -tolerance times the largest magnitude counts as negative.
Verdict Curvature(const std::vector<double>& ascendingEigenvalues, double tolerance);

// An unconstrained point: f, x, the gradient and the Hessian (lower triangle).
OptimalityVerdict CheckUnconstrained(double f, const std::vector<double>& x,
                                     const std::vector<double>& g, const DenseMatrix& hessian,
                                     double tolerance);

// A point of a constrained problem with the multipliers that come with it (the Lagrangian
// f - sum lambda_i c_i, c_i >= 0 for an inequality).
struct ConstrainedPoint {
    double f = 0.0;
    std::vector<double> x;
    std::vector<double> g;          // gradient of f
    std::vector<double> c;          // constraint values
    std::vector<bool> equality;     // per constraint
    DenseMatrix jacobian;           // of c, one row per constraint
    std::vector<double> lambda;     // multipliers
    DenseMatrix lagrangianHessian;  // lower triangle, at (x, lambda)
};
OptimalityVerdict CheckConstrained(const ConstrainedPoint& point, double tolerance);
