/*
 * Trust-region Newton method for  min f(x),  with the exact gradient g and Hessian H.
 *
 * Each iteration solves the subproblem  min m(p) = g^T p + p^T H p / 2, |p| <= Delta  exactly
 * (trust_region_subproblem.cpp), so it follows negative curvature: a maximum or a saddle point
 * is left, never approached, and f itself is the merit function. With the predicted decrease
 * pred = -m(p) > 0 and the actual decrease ared = f(x) - f(x + p):
 *     rho = ared / pred;  the step is taken when rho > 1e-4;
 *     Delta := |p| / 4 when rho < 1/4;  Delta := 2 Delta when rho > 3/4 and |p| = Delta.
 * Where pred is at the rounding level of f (below 1e-15 max(1, |f|)) the ratio means nothing:
 * the step counts as a full success when f did not rise beyond that level, as a failure
 * otherwise. A point where f cannot be evaluated counts as rho = -1. Delta starts at
 * max(1, |x0|_inf).
 *
 * Stopping rules, tested at every point reached (the start included), in this order:
 *   converged   the gradient vanishes and H is positive semidefinite (optimality.h, with the
 *               settings' tolerance): the point passes the same tests the run reports with;
 *   unbounded   f below the settings' lowest value;
 *   limit       the settings' number of iterations done;
 *   no progress Delta below 1e-15 max(1, |x|_inf), or the model predicts no decrease at all.
 */
#include "core/numeric/minimize_unconstrained.h"

#include <algorithm>
#include <cmath>

#include "core/numeric/optimality.h"
#include "core/numeric/symmetric_eigen.h"
#include "core/numeric/trust_region_subproblem.h"

namespace {

constexpr double kAcceptRatio = 1e-4;
constexpr double kShrinkRatio = 0.25;
constexpr double kExpandRatio = 0.75;
constexpr double kRoundingLevel = 1e-15;

double InfinityNorm(const std::vector<double>& v) {
    double m = 0.0;
    for (double x : v) m = std::max(m, std::fabs(x));
    return m;
}

double TwoNorm(const std::vector<double>& v) {
    double sum = 0.0;
    for (double x : v) sum += x * x;
    return std::sqrt(sum);
}

// The point with its derivatives.
struct Point {
    std::vector<double> x;
    double f = 0.0;
    std::vector<double> g;
    DenseMatrix h;
    SymmetricEigenSystem eigen;
};

bool Derivatives(SmoothProblem& problem, Point& p) {
    DenseMatrix jacobian;
    jacobian.Reset(problem.ConstraintCount(), problem.VariableCount());
    p.h.Reset(problem.VariableCount(), problem.VariableCount());
    if (!problem.Gradients(p.x, p.g, jacobian) || !problem.Hessian(p.x, {}, p.h)) return false;
    for (double v : p.g) {
        if (!std::isfinite(v)) return false;
    }
    for (int i = 0; i < p.h.Rows(); ++i) {
        for (int j = 0; j <= i; ++j) {
            if (!std::isfinite(p.h(i, j))) return false;
        }
    }
    SymmetricEigen(p.h, p.eigen);
    return true;
}

bool Value(SmoothProblem& problem, const std::vector<double>& x, double& f) {
    std::vector<double> c(static_cast<std::size_t>(problem.ConstraintCount()));
    return problem.Values(x, f, c) && std::isfinite(f);
}

}  // namespace

MinimizeResult MinimizeTrustRegion(SmoothProblem& problem, const std::vector<double>& start,
                                   const MinimizeSettings& settings, const ProgressSink& progress) {
    MinimizeResult result;
    Point point;
    point.x = start;
    result.x = start;
    if (!Value(problem, point.x, point.f) || !Derivatives(problem, point)) {
        result.stop = MinimizeStop::kEvaluationError;
        return result;
    }
    double radius = std::max(1.0, InfinityNorm(point.x));
    for (;;) {
        result.x = point.x;
        result.f = point.f;
        if (GradientVanishes(point.f, point.x, point.g, point.eigen, settings.tolerance) &&
            Curvature(point.eigen.values, settings.tolerance) == Verdict::kMinimum) {
            result.stop = MinimizeStop::kConverged;
            return result;
        }
        if (point.f < settings.lowestValue) {
            result.stop = MinimizeStop::kUnbounded;
            return result;
        }
        if (result.iterations >= settings.maxIterations) {
            result.stop = MinimizeStop::kIterationLimit;
            return result;
        }
        if (radius < kRoundingLevel * std::max(1.0, InfinityNorm(point.x))) {
            result.stop = MinimizeStop::kNoProgress;
            return result;
        }
        ++result.iterations;

        const SubproblemStep step = SolveTrustRegionSubproblem(point.eigen, point.g, radius);
        if (!(step.predicted > 0.0)) {
            result.stop = MinimizeStop::kNoProgress;
            return result;
        }
        Point trial;
        trial.x = point.x;
        for (std::size_t i = 0; i < trial.x.size(); ++i) trial.x[i] += step.p[i];
        double ratio = -1.0;
        if (Value(problem, trial.x, trial.f)) {
            const double level = kRoundingLevel * std::max(1.0, std::fabs(point.f));
            const double actual = point.f - trial.f;
            if (step.predicted < level)
                ratio = actual >= -level ? 1.0 : -1.0;
            else
                ratio = actual / step.predicted;
        }
        const double length = TwoNorm(step.p);
        if (ratio < kShrinkRatio)
            radius = kShrinkRatio * length;
        else if (ratio > kExpandRatio && step.onBoundary)
            radius = 2.0 * radius;
        if (ratio > kAcceptRatio) {
            if (Derivatives(problem, trial))
                point = std::move(trial);
            else
                radius = kShrinkRatio * length;
        }
        if (!progress.Report(result.iterations, point.f,
                             ScaledGradient(point.f, point.x, point.g))) {
            result.x = point.x;
            result.f = point.f;
            result.stop = MinimizeStop::kCancelled;
            return result;
        }
    }
}
