#include "core/solve/trust_region.h"

#include <algorithm>
#include <cmath>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/numeric/dense_linear.h"
#include "core/solve/grouping.h"
#include "core/solve/jacobian_eval.h"
#include "core/solve/residuals.h"

// Controlled step: Powell's dogleg trust region, one group at a time.
//
// For a group with residuals F(x) and Jacobian J, the step p minimizes the linear model
// ||F + J p||_2 within the trust region ||D p||_2 <= Delta. D = diag(1 / max(|x_j|, 1)) measures
// a step relative to the size of each variable (absolutely for variables below 1), so Delta
// bounds the relative change of the variables: a controlled step. (Powell's hybrid method
// scales by the Euclidean norms of the Jacobian's columns instead. With a Jacobian evaluated at
// every step those norms follow the local slope, which far from a root varies by orders of
// magnitude between variables: on polynomial systems started ten or a hundred times too far
// out, the scaled steepest descent then moves the flattest variable by absurd amounts;
// docs/robustness.md compares the choices on the standard problems.) The dogleg approximates
// the minimizer on the path from 0 through the Cauchy point to the Gauss-Newton point:
//   Gauss-Newton  p_N = -J^-1 F, from the group's sparse LU factors as Newton takes it, or
//                 from J = Q R where those factors are inaccurate (a singular R gives a step
//                 dominated by its null space);
//   Cauchy point  the minimizer of the model along the scaled steepest descent direction
//                 -D^-1 g, g = D^-1 J^T F: p_C = -a D^-1 g/|g| with
//                 a = |g| / ||J D^-1 g/|g| ||^2;
//   step          p_N when ||D p_N|| <= Delta; else the boundary point along -D^-1 g when
//                 ||D p_C|| >= Delta; else the point of the segment from p_C to p_N where
//                 ||D p|| = Delta.
// The step is judged by rho = actual / predicted reduction of ||F||^2:
//   actual    = 1 - (||F(x + p)|| / ||F(x)||)^2   (-1 when the norm did not decrease or an
//               evaluation failed),
//   predicted = 1 - (||F + J p|| / ||F(x)||)^2.
// rho >= 1e-4 accepts the step. The bound follows rho: below 0.1 it is halved (from the
// smaller of Delta and ||D p||, so that a rejected Gauss-Newton step inside the region changes
// the next trial); at 0.5 or more, or on the second good step in a row, it becomes at least
// 2 ||D p||; within 0.1 of 1 (the model is right) it becomes exactly 2 ||D p||. A rejected step
// is tried again from the same point with the smaller bound and the same Jacobian.
//
// Every accepted step lowers the group's ||F||_2, so the method cannot diverge the way the
// halved Newton step can; where it stalls (a local minimum of ||F|| that is not a root) no step
// is accepted and the search ends after a fixed number of rejections, the counterpart of the
// exhausted halvings. A trial whose largest residual is already below the tolerance is taken
// at once, as the halving loop takes it.
//
// Constants:
//   kInitialRadiusFactor 100: the first bound is 100 ||D x|| (100 when x = 0), then cut to the
//       length of the first Gauss-Newton step, so the first step of a problem that Newton solves
//       is Newton's full step;
//   kAcceptRatio 1e-4: a step that achieves this fraction of its predicted reduction is
//       worth keeping, far smaller fractions are rounding noise;
//   kShrinkBelow 0.1, kGrowFrom 0.5, kModelExact 0.1, kShrink 0.5, kGrow 2: the bound update
//       of Powell's hybrid method;
//   kMaxRejections 30: 30 halvings reduce a step by about 1e-9, below which a step in a
//       residual computed to double precision no longer tells descent from noise;
//   kLinearAccuracy 1e-10: a Gauss-Newton step from the sparse factors that leaves more than
//       this fraction of ||F|| in J p + F is taken from a QR factorization instead (a stable LU
//       leaves about the rounding error times the condition number).

namespace {

constexpr double kInitialRadiusFactor = 100.0;
constexpr double kAcceptRatio = 1e-4;
constexpr double kShrinkBelow = 0.1;
constexpr double kGrowFrom = 0.5;
constexpr double kModelExact = 0.1;
constexpr double kShrink = 0.5;
constexpr double kGrow = 2.0;
constexpr int kMaxRejections = 30;
constexpr double kLinearAccuracy = 1e-10;

// The group's residuals as the linear model uses them (an undefined residual as its marker
// value, a failed one as 0) and the Euclidean norm the steps are judged by, in which a failed,
// undefined or NaN residual counts as the largest number.
double GroupNorm(const CoreState& s, int first, int size, std::vector<double>& model) {
    const SolveState& v = s.solve;
    bool infinite = v.evaluationError;
    for (int i = 0; i < size; ++i) {
        const double r = v.residual[v.pivotEquation[first + i]];
        model[i] = r;
        if (r == kUndefinedValue || std::isnan(r)) infinite = true;
    }
    return infinite ? s.k.largest : Norm2(model, size);
}

// The group's Jacobian as a dense matrix: row i is position first + i, column c the variable
// pivoted at position first + c. The analysis dropped the terms of other groups' variables.
void GatherJacobian(const SolveState& v, int first, int size, DenseMatrix& j) {
    j.Reset(size, size);
    for (int i = 0; i < size; ++i) {
        for (const JacobianEntry* e = v.rowHead[v.pivotEquation[first + i]]; e != nullptr;
             e = e->nextInRow) {
            const int eq = v.matchOf[e->variable];
            if (eq == 0) continue;
            const int c = v.positionOf[eq] - first;
            if (c >= 0 && c < size) j(i, c) += e->value;
        }
    }
}

// The scaled length ||D p||.
double ScaledNorm(TrustRegionState& w, int first, int size, const std::vector<double>& p) {
    for (int c = 0; c < size; ++c) w.scaled[c] = w.scale[first + c] * p[c];
    return Norm2(w.scaled, size);
}

// Quantities of the dogleg that do not depend on the bound. The descent part is only needed
// when the Gauss-Newton step does not fit, which near a root it always does.
struct DoglegPath {
    double newtonLength = 0.0;    // ||D p_N||
    double newtonResidual = 0.0;  // ||F + J p_N||, 0 but for rounding or a singular J
    bool prepared = false;        // the two below are known
    double gradientLength = 0.0;  // |g|
    double cauchyLength = 0.0;    // ||D p_C||
};

void PrepareDescent(TrustRegionState& w, int first, int size, DoglegPath& path) {
    path.prepared = true;
    MultiplyTransposed(w.jacobian, w.residual, w.gradient);
    for (int c = 0; c < size; ++c) w.gradient[c] /= w.scale[first + c];
    path.gradientLength = Norm2(w.gradient, size);
    if (path.gradientLength == 0.0) return;
    for (int c = 0; c < size; ++c) {
        w.step[c] = w.gradient[c] / path.gradientLength / w.scale[first + c];
    }
    Multiply(w.jacobian, w.step, w.work);
    const double curvature = Norm2(w.work, size);
    path.cauchyLength = curvature > 0.0 ? path.gradientLength / (curvature * curvature) : HUGE_VAL;
}

// ||F + J p||, the residual of the linear model after the step p.
double LinearResidual(TrustRegionState& w, int size, const std::vector<double>& p) {
    Multiply(w.jacobian, p, w.work);
    for (int i = 0; i < size; ++i) w.work[i] += w.residual[i];
    return Norm2(w.work, size);
}

// The Gauss-Newton step J p_N = -F into w.newton, by the group's sparse LU factors as the Newton
// step takes it. Those factors keep the pivot order of the analysis without re-choosing, so a
// pivot that has become tiny spoils them; when the step does not satisfy the linear equations
// to kLinearAccuracy relative to |F|, it is computed again by a dense QR factorization of the
// copied terms, and the step with the smaller ||F + J p_N|| is kept. Returns that norm.
double GaussNewtonStep(CoreState& s, int group, int first, int size, double norm) {
    SolveState& v = s.solve;
    TrustRegionState& w = v.trustRegion;
    for (int c = 0; c < size; ++c) v.delta[first + c] = w.residual[c];
    SubstituteGroup(s, group, v.delta);
    for (int c = 0; c < size; ++c) w.newton[c] = -v.delta[first + c];
    const double residual = LinearResidual(w, size, w.newton);
    if (residual <= kLinearAccuracy * norm) return residual;
    for (int c = 0; c < size; ++c) w.step[c] = w.newton[c];
    QrFactorize(w.jacobian, w.factors);
    for (int c = 0; c < size; ++c) w.qtf[c] = w.residual[c];
    ApplyQTransposed(w.factors, w.qtf);
    for (int c = 0; c < size; ++c) w.newton[c] = -w.qtf[c];
    SolveUpperTriangular(w.factors, w.newton);
    const double fromQr = LinearResidual(w, size, w.newton);
    if (fromQr <= residual) return fromQr;
    // On a badly scaled system the LU step can be the better one.
    for (int c = 0; c < size; ++c) w.newton[c] = w.step[c];
    return residual;
}

// The dogleg step for the bound delta, into w.step.
void DoglegStep(TrustRegionState& w, int first, int size, const DoglegPath& path, double delta) {
    if (path.newtonLength <= delta) {
        for (int c = 0; c < size; ++c) w.step[c] = w.newton[c];
        return;
    }
    auto alongNewton = [&] {
        for (int c = 0; c < size; ++c) w.step[c] = w.newton[c] * (delta / path.newtonLength);
    };
    if (path.gradientLength == 0.0) {
        alongNewton();
        return;
    }
    const double g = path.gradientLength;
    if (!(path.cauchyLength < delta)) {
        for (int c = 0; c < size; ++c) w.step[c] = -delta * w.gradient[c] / g / w.scale[first + c];
        return;
    }
    // In scaled coordinates, z_C = -cauchyLength g/|g| and z_N = D p_N, both divided by delta
    // so that the boundary is the unit sphere: |z_C + tau (z_N - z_C)| = 1, 0 <= tau <= 1.
    double a = 0.0, b = 0.0, c0 = 0.0;
    for (int c = 0; c < size; ++c) {
        const double zc = -path.cauchyLength * w.gradient[c] / g / delta;
        const double zn = w.scale[first + c] * w.newton[c] / delta;
        a += (zn - zc) * (zn - zc);
        b += zc * (zn - zc);
        c0 += zc * zc;
    }
    c0 -= 1.0;
    const double root = std::sqrt(b * b - a * c0);
    const double tau = b <= 0.0 ? (root - b) / a : -c0 / (b + root);
    if (!std::isfinite(tau)) {
        alongNewton();
        return;
    }
    for (int c = 0; c < size; ++c) {
        const double zc = -path.cauchyLength * w.gradient[c] / g;
        const double zn = w.scale[first + c] * w.newton[c];
        w.step[c] = (zc + tau * (zn - zc)) / w.scale[first + c];
    }
}

void SetGroupValues(CoreState& s, int first, int size, const std::vector<double>& start,
                    const std::vector<double>* step) {
    for (int c = 0; c < size; ++c) {
        s.names.value[s.solve.pivotVariable[first + c]] =
            step != nullptr ? start[c] + (*step)[c] : start[c];
    }
}

// Sizes the work space for the largest group once per solve, so that the steps allocate nothing.
void SizeWorkSpace(TrustRegionState& w, const SolveState& v) {
    const std::size_t n = v.pivotVariable.size();
    for (auto* vec : {&w.residual, &w.qtf, &w.newton, &w.gradient, &w.step, &w.work, &w.start,
                      &w.scaled, &w.scale}) {
        vec->assign(n, 0.0);
    }
    w.radius.assign(v.groupLast.size(), 0.0);
    w.successes.assign(v.groupLast.size(), 0);
}

}  // namespace

bool UsesTrustRegion(const CoreState& s) {
    return s.settings.method == SolveMethod::kRobust;
}

void ResetTrustRegion(CoreState& s) {
    SizeWorkSpace(s.solve.trustRegion, s.solve);
}

double TrustRegionGroupStep(CoreState& s, int group, double& before, int& rejected, bool& stalled) {
    SolveState& v = s.solve;
    TrustRegionState& w = v.trustRegion;
    const int first = grouping::FirstPosition(v, group);
    const int size = grouping::LastPosition(v, group) - first + 1;
    const int tolerance = s.settings.toleranceExponent;
    rejected = 0;
    stalled = false;

    // The terms are copied before the factorization overwrites them with the LU factors.
    EvaluateJacobian(s, group, false);
    GatherJacobian(v, first, size, w.jacobian);
    FactorizeGroup(s, group);
    v.groupFactored[group] = 1;
    before = EvaluateGroupResiduals(s, group);
    const double norm = GroupNorm(s, first, size, w.residual);

    const bool fresh = w.radius[group] == 0.0;
    for (int c = 0; c < size; ++c) {
        w.start[c] = s.names.value[v.pivotVariable[first + c]];
        w.scale[first + c] = 1.0 / std::max(1.0, std::fabs(w.start[c]));
    }
    DoglegPath path;
    path.newtonResidual = GaussNewtonStep(s, group, first, size, norm);
    path.newtonLength = ScaledNorm(w, first, size, w.newton);

    double& delta = w.radius[group];
    bool firstTrial = fresh;
    if (fresh) {
        const double length = ScaledNorm(w, first, size, w.start);
        delta = length > 0.0 ? kInitialRadiusFactor * length : kInitialRadiusFactor;
    }
    for (;;) {
        if (path.newtonLength > delta && !path.prepared) PrepareDescent(w, first, size, path);
        DoglegStep(w, first, size, path, delta);
        const double length = ScaledNorm(w, first, size, w.step);
        if (!std::isfinite(length)) {
            stalled = true;
            break;
        }
        if (firstTrial) {
            delta = std::min(delta, length);
            firstTrial = false;
        }
        SetGroupValues(s, first, size, w.start, &w.step);
        const double after = EvaluateGroupResiduals(s, group);
        const bool converged = !v.evaluationError && ResidualExponent(s, after) < tolerance;
        const double trial = GroupNorm(s, first, size, w.work);

        const double actual = trial < norm ? 1.0 - (trial / norm) * (trial / norm) : -1.0;
        const bool newtonStep = path.newtonLength <= delta;
        const double linear =
            norm > 0.0 ? (newtonStep ? path.newtonResidual : LinearResidual(w, size, w.step)) / norm
                       : 0.0;
        const double predicted = norm > 0.0 ? 1.0 - linear * linear : 0.0;
        const double ratio = predicted > 0.0 ? actual / predicted : 0.0;

        if (ratio < kShrinkBelow) {
            w.successes[group] = 0;
            delta = kShrink * std::min(delta, length);
        } else {
            ++w.successes[group];
            if (ratio >= kGrowFrom || w.successes[group] > 1)
                delta = std::max(delta, kGrow * length);
            if (std::fabs(ratio - 1.0) <= kModelExact) delta = kGrow * length;
        }
        if (converged || ratio >= kAcceptRatio) return after;
        if (++rejected > kMaxRejections) {
            stalled = true;
            break;
        }
    }
    SetGroupValues(s, first, size, w.start, nullptr);
    return EvaluateGroupResiduals(s, group);
}
