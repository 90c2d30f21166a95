/*
 * Optimality tests of a computed point, with tau the run's tolerance (1.0E(exponent)).
 *
 * Unconstrained, in this order:
 *   1. stationary:  max_i |g_i| max(|x_i|, 1) / max(|f|, 1) <= tau, or H positive definite
 *      (every eigenvalue above 0) and g^T H^-1 g / 2 <= tau^2 max(|f|, 1). The second form is
 *      the decrease a Newton step could still give; it is invariant under scaling of the
 *      variables and so accepts the minimum of a badly scaled or badly conditioned function
 *      (condition 1e16 at Meyer's) where rounding alone keeps the scaled gradient up.
 *   2. second order: the smallest eigenvalue of H is at least -tau max_k |lambda_k|;
 *      otherwise the point is a maximum when no eigenvalue exceeds tau max_k |lambda_k|, and a
 *      saddle point when one does.
 *
 * Constrained, with L = f - lambda^T c, c_E = 0, c_I >= 0, in this order:
 *   1. feasible:  |c_i| <= tau_c (equality) or c_i >= -tau_c (inequality),
 *      tau_c = tau max(1, |x|_inf);
 *   2. sign: lambda_i >= -tau_g for every inequality, tau_g = tau max(1, |g|_inf);
 *   3. complementary: |lambda_i c_i| <= tau max(1, |f|) for every inequality;
 *   4. stationary: |g - J^T lambda|_inf <= tau max(1, |g|_inf, max_i |lambda_i| |J_i|_inf);
 *   5. second order: the Hessian of L is positive semidefinite (as in the unconstrained test)
 *      on the null space of the rows of J of the active constraints: every equality, and
 *      every inequality with c_i <= max(tau_c, sqrt(tau) max(1, |x|_inf)) or lambda_i > tau_g.
 *      The null space is spanned by the eigenvectors of J_A^T J_A whose eigenvalues are at
 *      most 1e-10 times the largest.
 * The first test that fails is the verdict, with the constraint it names.
 */
#include "core/numeric/optimality.h"

#include <algorithm>
#include <cmath>

#include "core/numeric/trust_region_subproblem.h"

namespace {

constexpr double kRankTolerance = 1e-10;

double LargestMagnitude(const std::vector<double>& v) {
    double m = 0.0;
    for (double x : v) m = std::max(m, std::fabs(x));
    return m;
}

double RowLargest(const DenseMatrix& a, int row) {
    double m = 0.0;
    for (int j = 0; j < a.Columns(); ++j) m = std::max(m, std::fabs(a(row, j)));
    return m;
}

// Z^T W Z for the columns of z (W given by its lower triangle).
DenseMatrix Reduced(const DenseMatrix& lower, const DenseMatrix& z) {
    const int n = z.Rows(), k = z.Columns();
    DenseMatrix w;
    w.Reset(n, n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j <= i; ++j) w(i, j) = w(j, i) = lower(i, j);
    }
    DenseMatrix wz;
    wz.Reset(n, k);
    for (int i = 0; i < n; ++i) {
        for (int b = 0; b < k; ++b) {
            double sum = 0.0;
            for (int j = 0; j < n; ++j) sum += w(i, j) * z(j, b);
            wz(i, b) = sum;
        }
    }
    DenseMatrix r;
    r.Reset(k, k);
    for (int a = 0; a < k; ++a) {
        for (int b = 0; b <= a; ++b) {
            double sum = 0.0;
            for (int i = 0; i < n; ++i) sum += z(i, a) * wz(i, b);
            r(a, b) = r(b, a) = sum;
        }
    }
    return r;
}

// An orthonormal basis of the null space of the given rows of j.
DenseMatrix NullSpace(const DenseMatrix& j, const std::vector<int>& rows) {
    const int n = j.Columns();
    DenseMatrix normal;
    normal.Reset(n, n);
    for (int a = 0; a < n; ++a) {
        for (int b = 0; b <= a; ++b) {
            double sum = 0.0;
            for (int r : rows) sum += j(r, a) * j(r, b);
            normal(a, b) = sum;
        }
    }
    SymmetricEigenSystem e;
    SymmetricEigen(normal, e);
    const double cut = kRankTolerance * std::max(LargestMagnitude(e.values), 1e-300);
    std::vector<int> kept;
    for (int k = 0; k < n; ++k) {
        if (e.values[k] <= cut) kept.push_back(k);
    }
    DenseMatrix z;
    z.Reset(n, static_cast<int>(kept.size()));
    for (std::size_t b = 0; b < kept.size(); ++b) {
        for (int i = 0; i < n; ++i) z(i, static_cast<int>(b)) = e.vectors(i, kept[b]);
    }
    return z;
}

}  // namespace

double ScaledGradient(double f, const std::vector<double>& x, const std::vector<double>& g) {
    double largest = 0.0;
    for (std::size_t i = 0; i < g.size(); ++i) {
        largest = std::max(largest, std::fabs(g[i]) * std::max(std::fabs(x[i]), 1.0));
    }
    return largest / std::max(std::fabs(f), 1.0);
}

bool GradientVanishes(double f, const std::vector<double>& x, const std::vector<double>& g,
                      const SymmetricEigenSystem& hessian, double tolerance) {
    if (ScaledGradient(f, x, g) <= tolerance) return true;
    const double decrease = NewtonDecrease(hessian, g, 0.0);
    return decrease >= 0.0 && decrease <= tolerance * tolerance * std::max(std::fabs(f), 1.0);
}

Verdict Curvature(const std::vector<double>& values, double tolerance) {
    if (values.empty()) return Verdict::kMinimum;
    const double cut = tolerance * LargestMagnitude(values);
    if (values.front() >= -cut) return Verdict::kMinimum;
    return values.back() > cut ? Verdict::kSaddle : Verdict::kMaximum;
}

OptimalityVerdict CheckUnconstrained(double f, const std::vector<double>& x,
                                     const std::vector<double>& g, const DenseMatrix& hessian,
                                     double tolerance) {
    SymmetricEigenSystem e;
    SymmetricEigen(hessian, e);
    if (!GradientVanishes(f, x, g, e, tolerance)) return {Verdict::kNotStationary, -1};
    return {Curvature(e.values, tolerance), -1};
}

OptimalityVerdict CheckConstrained(const ConstrainedPoint& p, double tolerance) {
    const int m = static_cast<int>(p.c.size());
    const int n = static_cast<int>(p.x.size());
    const double xScale = std::max(1.0, LargestMagnitude(p.x));
    const double tauC = tolerance * xScale;
    const double tauG = tolerance * std::max(1.0, LargestMagnitude(p.g));

    for (int i = 0; i < m; ++i) {
        const bool satisfied = p.equality[i] ? std::fabs(p.c[i]) <= tauC : p.c[i] >= -tauC;
        if (!satisfied) return {Verdict::kInfeasible, i};
    }
    for (int i = 0; i < m; ++i) {
        if (!p.equality[i] && p.lambda[i] < -tauG) return {Verdict::kWrongSign, i};
    }
    for (int i = 0; i < m; ++i) {
        if (!p.equality[i] &&
            std::fabs(p.lambda[i] * p.c[i]) > tolerance * std::max(1.0, std::fabs(p.f))) {
            return {Verdict::kNotComplementary, i};
        }
    }
    double termScale = std::max(1.0, LargestMagnitude(p.g));
    std::vector<double> gradientOfL = p.g;
    for (int i = 0; i < m; ++i) {
        termScale = std::max(termScale, std::fabs(p.lambda[i]) * RowLargest(p.jacobian, i));
        for (int j = 0; j < n; ++j) gradientOfL[j] -= p.lambda[i] * p.jacobian(i, j);
    }
    if (LargestMagnitude(gradientOfL) > tolerance * termScale) {
        return {Verdict::kNotStationary, -1};
    }

    const double activeBand = std::max(tauC, std::sqrt(tolerance) * xScale);
    std::vector<int> active;
    for (int i = 0; i < m; ++i) {
        if (p.equality[i] || p.c[i] <= activeBand || p.lambda[i] > tauG) active.push_back(i);
    }
    const DenseMatrix z = NullSpace(p.jacobian, active);
    if (z.Columns() == 0) return {Verdict::kMinimum, -1};
    SymmetricEigenSystem reduced;
    SymmetricEigen(Reduced(p.lagrangianHessian, z), reduced);
    return {Curvature(reduced.values, tolerance), -1};
}
