#pragma once

#include <vector>

#include "core/numeric/dense_matrix.h"

// Nonlinear least squares: the parameters x (n of them) that minimize the sum of squares
// S(x) = ||f(x)||^2 of a residual vector f (m >= n residuals). The numerics only; the caller
// supplies f and its Jacobian.

class LeastSquaresProblem {
   public:
    virtual ~LeastSquaresProblem() = default;
    virtual int Observations() const = 0;  // m, the residuals
    virtual int Parameters() const = 0;    // n
    // r := f(x) (m values); false when f cannot be evaluated there.
    virtual bool Residuals(const std::vector<double>& x, std::vector<double>& r) = 0;
    // j := the m x n matrix of df_i/dx_k at x; false when it cannot be evaluated there.
    virtual bool Jacobian(const std::vector<double>& x, DenseMatrix& j) = 0;
    // Told at the start of every iteration; false ends the search (a cancel).
    virtual bool Continue(int /*iteration*/, double /*sumOfSquares*/) { return true; }
};

struct LmSettings {
    double ftol = 1e-10;     // relative reduction of S that counts as none
    double xtol = 1e-10;     // relative step (scaled) that counts as none
    double gtol = 1e-10;     // cosine between f and every column of J that counts as a right angle
    int maxEvaluations = 0;  // of f; 0 for DefaultEvaluations
    double stepBound = 100.0;  // the first trust region: stepBound ||D x0|| (stepBound if x0 = 0)
};

// MINPACK's evaluation limit for n parameters, 100 (n + 1).
int DefaultEvaluations(int parameters);

enum class LmOutcome {
    kSumConverged,          // the tests on S held (ftol)
    kStepConverged,         // the test on the step held (xtol)
    kSumAndStepConverged,   // both
    kGradientConverged,     // f is orthogonal to every column of J within gtol
    kLinearSolved,          // a model linear in x, solved by one QR factorization
    kEvaluationLimit,       // maxEvaluations evaluations of f without convergence
    kStartNotEvaluated,     // f cannot be evaluated at the starting point
    kJacobianNotEvaluated,  // J cannot be evaluated at a point of the search
    kDomainEdge,            // every trial point near x failed to evaluate: x lies on an edge of
                            // the model's domain, not at a minimum
    kStopped,               // Continue asked to stop
    kNotConverged,          // JudgeLeastSquaresPoint: no convergence test holds at the point
};

// Whether the outcome is a minimum the tests vouch for.
bool Converged(LmOutcome outcome);

struct LmResult {
    LmOutcome outcome = LmOutcome::kNotConverged;
    int iterations = 0;          // Jacobians evaluated and factored
    int evaluations = 0;         // of f
    double initialSum = 0.0;     // S at the starting point
    double finalSum = 0.0;       // S at the point returned
    bool rankDeficient = false;  // kLinearSolved: the columns of J are not independent
};

// Levenberg-Marquardt with a scaled trust region (Moré's form of MINPACK's lmder); see the
// comment at the top of levenberg_marquardt.cpp for the method and its stopping rules. x is
// the starting point on entry and the best point found on return; S never rises.
LmResult LevenbergMarquardt(LeastSquaresProblem& problem, std::vector<double>& x,
                            const LmSettings& settings);

// A problem whose residuals are linear in x (J does not depend on x): the minimum from one
// pivoted QR of J. With b the point whose independent parameters are 0 (the dependent ones,
// whose diagonal terms of R are negligible, keep their starting values),
// x := b - P R^-1 Q^T f(b), then once more from x with the same factors when that lowers S.
// When rounding would make S larger than at the start, x stays where it was.
LmResult LinearLeastSquares(LeastSquaresProblem& problem, std::vector<double>& x);

// The convergence tests at a point that some other method reached: from the Gauss-Newton step
// p at x (pivoted QR of J), kSumConverged when the reduction it predicts, ||J p||^2 / S, is at
// most ftol; kGradientConverged when the cosine test holds; kNotConverged otherwise. The
// evaluation failures give kStartNotEvaluated and kJacobianNotEvaluated.
LmOutcome JudgeLeastSquaresPoint(LeastSquaresProblem& problem, const std::vector<double>& x,
                                 const LmSettings& settings, double& sumOfSquares);
