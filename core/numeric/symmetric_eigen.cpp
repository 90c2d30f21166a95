/*
 * Symmetric eigensystem by the cyclic Jacobi method.
 *
 * Jacobi: A_{k+1} = J^T A_k J with J the plane rotation in (p, q) that zeroes a_pq:
 *     theta = (a_pp - a_qq) / (2 a_pq),  t = -sign(theta) / (|theta| + sqrt(theta^2 + 1)),
 *     c = 1 / sqrt(t^2 + 1),  s = t c
 * (t is the smaller root of t^2 - 2 theta t - 1 = 0, so the rotation angle is at most pi/4 and
 * the off-diagonal mass off(A) = sum_{i != j} a_ij^2 falls by exactly 2 a_pq^2 per rotation).
 * The rotations accumulate in V, so A = V diag(A_final) V^T. Sweeps go over every pair p < q.
 * Stopping rule: off(A) <= (eps * |A|_F)^2 with eps the double precision unit, or 64 sweeps
 * (quadratic convergence makes 6 to 10 sweeps the rule at the sizes met here). Jacobi gives
 * small eigenvalues to high relative accuracy, which the inertia counts of the minimization
 * methods rely on; its O(n^3) per sweep costs nothing at the sizes of an equation document.
 */
#include "core/numeric/symmetric_eigen.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr int kMaxSweeps = 64;

double OffDiagonalMass(const DenseMatrix& a) {
    double sum = 0.0;
    for (int i = 0; i < a.Rows(); ++i) {
        for (int j = 0; j < a.Columns(); ++j) {
            if (i != j) sum += a(i, j) * a(i, j);
        }
    }
    return sum;
}

// A := J^T A J and V := V J for the rotation of (p, q) that zeroes a_pq.
void Rotate(DenseMatrix& a, DenseMatrix& v, int p, int q) {
    const double apq = a(p, q);
    const double theta = (a(p, p) - a(q, q)) / (2.0 * apq);
    double t = 0.0;
    if (std::fabs(theta) > 1e150) {
        t = -0.5 / theta;
    } else {
        t = (theta >= 0.0 ? -1.0 : 1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
    }
    const double c = 1.0 / std::sqrt(t * t + 1.0);
    const double s = t * c;
    const int n = a.Rows();
    for (int k = 0; k < n; ++k) {
        const double akp = a(k, p), akq = a(k, q);
        a(k, p) = c * akp - s * akq;
        a(k, q) = s * akp + c * akq;
    }
    for (int k = 0; k < n; ++k) {
        const double apk = a(p, k), aqk = a(q, k);
        a(p, k) = c * apk - s * aqk;
        a(q, k) = s * apk + c * aqk;
    }
    a(p, q) = a(q, p) = 0.0;
    for (int k = 0; k < n; ++k) {
        const double vkp = v(k, p), vkq = v(k, q);
        v(k, p) = c * vkp - s * vkq;
        v(k, q) = s * vkp + c * vkq;
    }
}

}  // namespace

void SymmetricEigen(const DenseMatrix& lower, SymmetricEigenSystem& e) {
    const int n = lower.Rows();
    DenseMatrix a;
    a.Reset(n, n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j <= i; ++j) a(i, j) = a(j, i) = lower(i, j);
    }
    DenseMatrix v;
    v.Reset(n, n);
    for (int i = 0; i < n; ++i) v(i, i) = 1.0;

    double frobenius = 0.0;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) frobenius += a(i, j) * a(i, j);
    }
    const double eps = std::numeric_limits<double>::epsilon();
    const double target = eps * eps * frobenius;
    for (int sweep = 0; sweep < kMaxSweeps && OffDiagonalMass(a) > target; ++sweep) {
        for (int p = 0; p < n - 1; ++p) {
            for (int q = p + 1; q < n; ++q) {
                if (a(p, q) != 0.0) Rotate(a, v, p, q);
            }
        }
    }

    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int x, int y) { return a(x, x) < a(y, y); });
    e.values.resize(static_cast<std::size_t>(n));
    e.vectors.Reset(n, n);
    for (int k = 0; k < n; ++k) {
        e.values[k] = a(order[k], order[k]);
        for (int i = 0; i < n; ++i) e.vectors(i, k) = v(i, order[k]);
    }
}

Inertia InertiaOf(const SymmetricEigenSystem& e, double tolerance) {
    Inertia in;
    for (double lambda : e.values) {
        if (lambda > tolerance)
            ++in.positive;
        else if (lambda < -tolerance)
            ++in.negative;
        else
            ++in.zero;
    }
    return in;
}

void EigenSolve(const SymmetricEigenSystem& e, double tolerance, std::vector<double>& b) {
    const int n = e.vectors.Rows();
    std::vector<double> x(static_cast<std::size_t>(n), 0.0);
    for (int k = 0; k < n; ++k) {
        if (std::fabs(e.values[k]) <= tolerance) continue;
        double qb = 0.0;
        for (int i = 0; i < n; ++i) qb += e.vectors(i, k) * b[i];
        const double coefficient = qb / e.values[k];
        for (int i = 0; i < n; ++i) x[i] += coefficient * e.vectors(i, k);
    }
    std::copy(x.begin(), x.end(), b.begin());
}

double LargestElement(const DenseMatrix& a) {
    double largest = 0.0;
    for (int i = 0; i < a.Rows(); ++i) {
        for (int j = 0; j < a.Columns(); ++j) largest = std::max(largest, std::fabs(a(i, j)));
    }
    return largest;
}
