// Levenberg-Marquardt on a residual vector, in the form Moré gave it for MINPACK's lmder.
//
// Minimize S(x) = ||f(x)||^2 over x in R^n, f: R^n -> R^m, m >= n, with Jacobian J.
//
// Each iteration evaluates J at the current x and factors it with column pivoting, J P = Q R.
// The parameters are scaled by D = diag(d_j): on the first iteration d_j is the norm of column
// j of J (1 for a zero column), afterwards it only grows, d_j := max(d_j, ||J_j||), so the
// method does not depend on the units of the parameters. The first trust radius is
// delta = stepBound ||D x0|| (stepBound when that is 0), cut to ||D p|| after the first step.
//
// The gradient test comes first: with qtf = Q^T f,
//     gnorm = max_j |(J^T f)_j| / (||J_j|| ||f||)
// is the largest cosine of the angle between f and a column of J (columns of norm 0 skipped),
// and gnorm <= gtol ends the search: f is orthogonal to the range of J, a stationary point.
//
// Then steps are tried until one is accepted. The step p solves
//     min ||f + J p||   subject to ||D p|| <= delta,
// whose solution is p = -x(lambda), (J^T J + lambda D^2) x = J^T f, with the parameter lambda
// of LmParameter (lm_parameter.h). For a trial point x + p:
//     actred = 1 - (||f(x + p)|| / ||f||)^2        actual relative reduction of S
//              (-1 when ||f(x + p)|| >= 10 ||f||, or when f cannot be evaluated at x + p)
//     prered = (||J p|| / ||f||)^2 + 2 lambda (||D p|| / ||f||)^2
//                                                   reduction the linear model predicts
//     ratio  = actred / prered
// The radius follows the ratio: at ratio <= 1/4 it shrinks by a factor mu in [0.1, 0.5]
// (mu = 1/2 for actred >= 0, else from a quadratic along p, at least 0.1; 0.1 when
// f(x + p) failed or grew tenfold), delta := mu min(delta, 10 ||D p||), lambda := lambda / mu;
// at ratio >= 3/4, or whenever lambda = 0, it grows, delta := 2 ||D p||, lambda := lambda / 2.
// The point is accepted when ratio >= 1e-4, so S never rises.
//
// After every trial the stopping rules are applied, in this order:
//   ftol:  |actred| <= ftol and prered <= ftol and ratio <= 2: neither the model nor the
//          function promise a relative reduction of S beyond ftol;
//   xtol:  delta <= xtol ||D x||: the region, and so every further step, is relatively small;
//          when the last trial point could not be evaluated, the region shrank because the
//          model is undefined all around x, which is no minimum (kDomainEdge);
//   maxEvaluations evaluations of f without convergence (kEvaluationLimit).

#include "core/numeric/levenberg_marquardt.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/numeric/dense_linear.h"
#include "core/numeric/lm_parameter.h"

namespace {

constexpr double kAcceptRatio = 1e-4;
constexpr double kShrinkRatio = 0.25;
constexpr double kGrowRatio = 0.75;
constexpr double kLeastShrink = 0.1;

int Evaluations(const LmSettings& settings, int n) {
    return settings.maxEvaluations > 0 ? settings.maxEvaluations : DefaultEvaluations(n);
}

double ScaledNorm(const std::vector<double>& d, const std::vector<double>& x,
                  std::vector<double>& work) {
    work.resize(x.size());
    for (std::size_t j = 0; j < x.size(); ++j) work[j] = d[j] * x[j];
    return Norm2(work, static_cast<int>(x.size()));
}

// The factored Jacobian at a point: R, the permutation, Q^T f and the column norms of J.
struct Factored {
    QrFactors qr;
    std::vector<int> permutation;
    std::vector<double> columnNorms;
    std::vector<double> qtf;  // all m elements of Q^T f; the first n are used
};

bool EvaluateAndFactor(LeastSquaresProblem& problem, const std::vector<double>& x,
                       const std::vector<double>& f, Factored& j) {
    const int m = problem.Observations();
    const int n = problem.Parameters();
    j.qr.qr.Reset(m, n);
    if (!problem.Jacobian(x, j.qr.qr)) return false;
    j.columnNorms.assign(static_cast<std::size_t>(n), 0.0);
    for (int i = 0; i < m; ++i) {
        for (int k = 0; k < n; ++k) j.columnNorms[k] += j.qr.qr(i, k) * j.qr.qr(i, k);
    }
    for (int k = 0; k < n; ++k) {
        j.columnNorms[k] = std::sqrt(j.columnNorms[k]);
        if (!std::isfinite(j.columnNorms[k])) return false;
    }
    QrFactorizePivoted(j.qr, j.permutation);
    j.qtf = f;
    ApplyQTransposed(j.qr, j.qtf);
    return true;
}

// The largest cosine between f and a column of J.
double GradientCosine(const Factored& j, double fnorm) {
    if (fnorm == 0.0) return 0.0;
    double largest = 0.0;
    for (std::size_t k = 0; k < j.permutation.size(); ++k) {
        const int l = j.permutation[k];
        if (j.columnNorms[l] == 0.0) continue;
        double sum = 0.0;
        for (std::size_t i = 0; i <= k; ++i) sum += j.qr.qr(i, k) * (j.qtf[i] / fnorm);
        largest = std::max(largest, std::fabs(sum / j.columnNorms[l]));
    }
    return largest;
}

// ||J p|| = ||R P^T p||.
double ModelNorm(const Factored& j, const std::vector<double>& p, std::vector<double>& work) {
    const int n = static_cast<int>(p.size());
    work.assign(static_cast<std::size_t>(n), 0.0);
    for (int k = 0; k < n; ++k) {
        const double pk = p[j.permutation[k]];
        for (int i = 0; i <= k; ++i) work[i] += j.qr.qr(i, k) * pk;
    }
    return Norm2(work, n);
}

bool Evaluate(LeastSquaresProblem& problem, const std::vector<double>& x, std::vector<double>& f,
              double& norm) {
    if (!problem.Residuals(x, f)) return false;
    norm = Norm2(f, static_cast<int>(f.size()));
    return std::isfinite(norm);
}

// The residuals at the start, and the sums of squares they begin both results with; false,
// with the outcome said, when the start cannot be evaluated.
bool EvaluateStart(LeastSquaresProblem& problem, const std::vector<double>& x,
                   std::vector<double>& f, double& fnorm, LmResult& result) {
    result.evaluations = 1;
    if (!Evaluate(problem, x, f, fnorm)) {
        result.outcome = LmOutcome::kStartNotEvaluated;
        return false;
    }
    result.initialSum = result.finalSum = fnorm * fnorm;
    return true;
}

}  // namespace

int DefaultEvaluations(int parameters) {
    return 100 * (parameters + 1);
}

bool Converged(LmOutcome outcome) {
    switch (outcome) {
        case LmOutcome::kSumConverged:
        case LmOutcome::kStepConverged:
        case LmOutcome::kSumAndStepConverged:
        case LmOutcome::kGradientConverged:
        case LmOutcome::kLinearSolved: return true;
        case LmOutcome::kEvaluationLimit:
        case LmOutcome::kStartNotEvaluated:
        case LmOutcome::kJacobianNotEvaluated:
        case LmOutcome::kDomainEdge:
        case LmOutcome::kStopped:
        case LmOutcome::kNotConverged: return false;
    }
    return false;
}

LmResult LevenbergMarquardt(LeastSquaresProblem& problem, std::vector<double>& x,
                            const LmSettings& settings) {
    const int m = problem.Observations();
    const int n = problem.Parameters();
    LmResult result;
    std::vector<double> f(static_cast<std::size_t>(m)), trialF(f.size());
    double fnorm = 0.0;
    if (!EvaluateStart(problem, x, f, fnorm, result)) return result;
    const int maxEvaluations = Evaluations(settings, n);

    Factored j;
    LmWorkspace w;
    std::vector<double> d(static_cast<std::size_t>(n)), p, trialX(d.size()), work;
    double delta = 0.0, xnorm = 0.0, lambda = 0.0;
    for (;;) {
        if (!problem.Continue(result.iterations + 1, fnorm * fnorm)) {
            result.outcome = LmOutcome::kStopped;
            break;
        }
        ++result.iterations;
        if (!EvaluateAndFactor(problem, x, f, j)) {
            result.outcome = LmOutcome::kJacobianNotEvaluated;
            break;
        }
        const bool first = result.iterations == 1;
        if (first) {
            for (int k = 0; k < n; ++k) d[k] = j.columnNorms[k] != 0.0 ? j.columnNorms[k] : 1.0;
            xnorm = ScaledNorm(d, x, work);
            delta = xnorm != 0.0 ? settings.stepBound * xnorm : settings.stepBound;
        }
        if (GradientCosine(j, fnorm) <= settings.gtol) {
            result.outcome = LmOutcome::kGradientConverged;
            break;
        }
        for (int k = 0; k < n; ++k) d[k] = std::max(d[k], j.columnNorms[k]);

        bool done = false;
        double ratio = 0.0;
        do {
            lambda = LmParameter(j.qr.qr, j.permutation, d, j.qtf, delta, lambda, p, w);
            for (double& v : p) v = -v;
            const double pnorm = ScaledNorm(d, p, work);
            if (first) delta = std::min(delta, pnorm);
            for (int k = 0; k < n; ++k) trialX[k] = x[k] + p[k];
            double trialNorm = std::numeric_limits<double>::infinity();
            ++result.evaluations;
            const bool evaluated = Evaluate(problem, trialX, trialF, trialNorm);

            const double actred = evaluated && kLeastShrink * trialNorm < fnorm
                                      ? 1.0 - (trialNorm / fnorm) * (trialNorm / fnorm)
                                      : -1.0;
            const double model = ModelNorm(j, p, work) / fnorm;
            const double damping = std::sqrt(lambda) * pnorm / fnorm;
            const double prered = model * model + 2.0 * damping * damping;
            const double dirder = -(model * model + damping * damping);
            ratio = prered != 0.0 ? actred / prered : 0.0;

            if (ratio <= kShrinkRatio) {
                double mu = actred >= 0.0 ? 0.5 : 0.5 * dirder / (dirder + 0.5 * actred);
                if (!(kLeastShrink * trialNorm < fnorm) || mu < kLeastShrink) mu = kLeastShrink;
                delta = mu * std::min(delta, pnorm / kLeastShrink);
                lambda /= mu;
            } else if (lambda == 0.0 || ratio >= kGrowRatio) {
                delta = pnorm / 0.5;
                lambda *= 0.5;
            }
            if (ratio >= kAcceptRatio) {
                x.swap(trialX);
                f.swap(trialF);
                xnorm = ScaledNorm(d, x, work);
                fnorm = trialNorm;
                result.finalSum = fnorm * fnorm;
            }

            const bool sumTest =
                std::fabs(actred) <= settings.ftol && prered <= settings.ftol && 0.5 * ratio <= 1.0;
            const bool stepTest = delta <= settings.xtol * xnorm;
            if (stepTest && !evaluated) {
                result.outcome = LmOutcome::kDomainEdge;
                done = true;
            } else if (sumTest || stepTest) {
                result.outcome = sumTest && stepTest ? LmOutcome::kSumAndStepConverged
                                 : sumTest           ? LmOutcome::kSumConverged
                                                     : LmOutcome::kStepConverged;
                done = true;
            } else if (result.evaluations >= maxEvaluations) {
                result.outcome = LmOutcome::kEvaluationLimit;
                done = true;
            }
        } while (!done && ratio < kAcceptRatio);
        if (done) break;
    }
    return result;
}

namespace {

// x := x - P R1^-1 (Q^T f)_1 over the first rank columns of the factors.
void SubtractSolution(const Factored& j, int rank, std::vector<double> qtf,
                      std::vector<double>& x) {
    ApplyQTransposed(j.qr, qtf);
    for (int k = rank - 1; k >= 0; --k) {
        double sum = qtf[k];
        for (int i = k + 1; i < rank; ++i) sum -= j.qr.qr(k, i) * qtf[i];
        qtf[k] = sum / j.qr.qr(k, k);
    }
    for (int k = 0; k < rank; ++k) x[j.permutation[k]] -= qtf[k];
}

}  // namespace

LmResult LinearLeastSquares(LeastSquaresProblem& problem, std::vector<double>& x) {
    const int m = problem.Observations();
    const int n = problem.Parameters();
    LmResult result;
    std::vector<double> f(static_cast<std::size_t>(m));
    double fnorm = 0.0;
    if (!EvaluateStart(problem, x, f, fnorm, result)) return result;
    result.iterations = 1;
    Factored j;
    if (!EvaluateAndFactor(problem, x, f, j)) {
        result.outcome = LmOutcome::kJacobianNotEvaluated;
        return result;
    }
    const int rank = QrRank(j.qr);
    result.rankDeficient = rank < n;
    // The step from the start would cancel: with starting values far from small parameters
    // their digits are lost in x0 - (x0 - b). From 0 in the independent parameters the
    // residuals are the data themselves and the solution is computed as it is.
    std::vector<double> solved = x, g(f.size());
    for (int k = 0; k < rank; ++k) solved[j.permutation[k]] = 0.0;
    double gnorm = 0.0;
    ++result.evaluations;
    if (!Evaluate(problem, solved, g, gnorm)) {
        solved = x;
        g = f;
    }
    SubtractSolution(j, rank, g, solved);
    // One correction with the same factors takes up the rounding of the first solve.
    std::vector<double> corrected = solved;
    double correctedNorm = 0.0;
    ++result.evaluations;
    if (Evaluate(problem, solved, g, gnorm)) {
        SubtractSolution(j, rank, g, corrected);
        ++result.evaluations;
        if (Evaluate(problem, corrected, g, correctedNorm) && correctedNorm < gnorm) {
            solved.swap(corrected);
            gnorm = correctedNorm;
        }
        if (gnorm <= fnorm) {
            x.swap(solved);
            result.finalSum = gnorm * gnorm;
        }
    }
    result.outcome = LmOutcome::kLinearSolved;
    return result;
}

LmOutcome JudgeLeastSquaresPoint(LeastSquaresProblem& problem, const std::vector<double>& x,
                                 const LmSettings& settings, double& sumOfSquares) {
    std::vector<double> f(static_cast<std::size_t>(problem.Observations()));
    double fnorm = 0.0;
    if (!Evaluate(problem, x, f, fnorm)) return LmOutcome::kStartNotEvaluated;
    sumOfSquares = fnorm * fnorm;
    Factored j;
    if (!EvaluateAndFactor(problem, x, f, j)) return LmOutcome::kJacobianNotEvaluated;
    if (GradientCosine(j, fnorm) <= settings.gtol) return LmOutcome::kGradientConverged;
    // The Gauss-Newton step reduces the linear model by ||Q1^T f||^2 over the independent
    // columns of J.
    const double predicted = Norm2(j.qtf, QrRank(j.qr)) / fnorm;
    return predicted * predicted <= settings.ftol ? LmOutcome::kSumConverged
                                                  : LmOutcome::kNotConverged;
}
