#pragma once

#include <vector>

#include "core/numeric/dense_matrix.h"

// A smooth minimization problem as the minimization methods see it: callbacks for values,
// first and second derivatives at a point, nothing of where they come from.
//
//     minimize f(x)  subject to  c_i(x) = 0 (equalities),  c_i(x) >= 0 (inequalities)
//
// Multipliers follow the Lagrangian L(x, lambda) = f(x) - sum_i lambda_i c_i(x), so at a
// minimum the multiplier of an inequality is at least zero. Each call returns false when the
// problem cannot be evaluated at x (a failed or non-finite value); the methods then treat the
// point as unacceptable.
class SmoothProblem {
   public:
    virtual ~SmoothProblem() = default;
    virtual int VariableCount() const = 0;
    virtual int ConstraintCount() const = 0;
    virtual bool IsEquality(int constraint) const = 0;
    // f(x) and c(x) (c sized to the constraint count).
    virtual bool Values(const std::vector<double>& x, double& f, std::vector<double>& c) = 0;
    // The gradient of f and the Jacobian of c (one row per constraint).
    virtual bool Gradients(const std::vector<double>& x, std::vector<double>& g,
                           DenseMatrix& jacobian) = 0;
    // The lower triangle of the Hessian of L at (x, lambda): of f alone without constraints.
    virtual bool Hessian(const std::vector<double>& x, const std::vector<double>& lambda,
                         DenseMatrix& h) = 0;
};

// Why a minimization method ended.
enum class MinimizeStop {
    kConverged,        // the optimality test of the method holds
    kIterationLimit,   // the iteration limit came first
    kNoProgress,       // no step of a useful length lowers the objective (or the merit)
    kUnbounded,        // the objective fell below the lowest value the core represents
    kEvaluationError,  // the problem cannot be evaluated at the starting point
    kCancelled,        // the progress report asked to end
};

// What a minimization method is told.
struct MinimizeSettings {
    int maxIterations = 100;
    double tolerance = 1e-8;     // of the optimality tests, relative as each method states
    double lowestValue = -1e50;  // an objective below it counts as unbounded
};

// What it leaves: the last accepted point with its values.
struct MinimizeResult {
    MinimizeStop stop = MinimizeStop::kIterationLimit;
    int iterations = 0;
    std::vector<double> x;
    double f = 0.0;
    std::vector<double> lambda;  // multipliers of the constraints (empty without constraints)
};

// Called after every iteration with the iteration count and the current point's objective;
// returning false ends the method (a cancelled run).
using MinimizeProgress = bool (*)(void* context, int iteration, double f, double measure);
struct ProgressSink {
    MinimizeProgress call = nullptr;
    void* context = nullptr;
    bool Report(int iteration, double f, double measure) const {
        return call == nullptr || call(context, iteration, f, measure);
    }
};
