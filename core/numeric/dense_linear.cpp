#include "core/numeric/dense_linear.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

void Multiply(const DenseMatrix& a, const std::vector<double>& x, std::vector<double>& y) {
    if (y.size() < static_cast<std::size_t>(a.Rows())) y.resize(static_cast<std::size_t>(a.Rows()));
    for (int r = 0; r < a.Rows(); ++r) {
        double sum = 0.0;
        for (int c = 0; c < a.Columns(); ++c) sum += a(r, c) * x[c];
        y[r] = sum;
    }
}

void MultiplyTransposed(const DenseMatrix& a, const std::vector<double>& x,
                        std::vector<double>& y) {
    if (y.size() < static_cast<std::size_t>(a.Columns()))
        y.resize(static_cast<std::size_t>(a.Columns()));
    std::fill(y.begin(), y.begin() + a.Columns(), 0.0);
    for (int r = 0; r < a.Rows(); ++r) {
        for (int c = 0; c < a.Columns(); ++c) y[c] += a(r, c) * x[r];
    }
}

// One pass as a rule; scaled by the largest magnitude only where the squares overflow or
// underflow (the evaluator's largest number, 1e50, stands for infinity in residuals).
double Norm2(const std::vector<double>& x, int n) {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) sum += x[i] * x[i];
    if (std::isfinite(sum) && sum > 1e-280) return std::sqrt(sum);
    double largest = 0.0;
    for (int i = 0; i < n; ++i) largest = std::max(largest, std::fabs(x[i]));
    if (largest == 0.0 || !std::isfinite(largest)) return largest;
    sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const double q = x[i] / largest;
        sum += q * q;
    }
    return largest * std::sqrt(sum);
}

namespace {

// Reflects column k of q on and below the diagonal onto -sign(q_kk) |column| e_k and applies
// the reflection to the columns after k. A column that is zero there needs no reflection: R's
// diagonal term is 0 and tau_k stays 0.
void ReflectColumn(DenseMatrix& q, std::vector<double>& tau, int k) {
    const int m = q.Rows();
    const int n = q.Columns();
    tau[k] = 0.0;
    double scale = 0.0;
    for (int i = k; i < m; ++i) scale = std::max(scale, std::fabs(q(i, k)));
    if (scale == 0.0) return;
    double norm = 0.0;
    for (int i = k; i < m; ++i) norm += (q(i, k) / scale) * (q(i, k) / scale);
    norm = scale * std::sqrt(norm);
    // The sign is chosen against a_kk, so that v0 is a sum and not a difference.
    const double alpha = q(k, k) > 0 ? -norm : norm;
    const double v0 = q(k, k) - alpha;
    for (int i = k + 1; i < m; ++i) q(i, k) /= v0;
    tau[k] = -v0 / alpha;
    q(k, k) = alpha;
    for (int c = k + 1; c < n; ++c) {
        double dot = q(k, c);
        for (int i = k + 1; i < m; ++i) dot += q(i, k) * q(i, c);
        dot *= tau[k];
        q(k, c) -= dot;
        for (int i = k + 1; i < m; ++i) q(i, c) -= dot * q(i, k);
    }
}

int Reflections(const DenseMatrix& q) {
    return std::min(q.Rows(), q.Columns());
}

}  // namespace

void QrFactorize(const DenseMatrix& a, QrFactors& f) {
    f.qr = a;
    f.tau.assign(static_cast<std::size_t>(Reflections(a)), 0.0);
    for (int k = 0; k < Reflections(a); ++k) ReflectColumn(f.qr, f.tau, k);
}

void QrFactorizePivoted(QrFactors& f, std::vector<int>& permutation) {
    DenseMatrix& q = f.qr;
    const int m = q.Rows();
    const int n = q.Columns();
    permutation.resize(static_cast<std::size_t>(n));
    for (int c = 0; c < n; ++c) permutation[c] = c;
    f.tau.assign(static_cast<std::size_t>(Reflections(q)), 0.0);
    for (int k = 0; k < Reflections(q); ++k) {
        // The norms of what is left of each column are taken afresh at every step: no
        // cancellation in downdated norms, and the same order of work as the reflection.
        int best = k;
        double bestSquares = -1.0;
        for (int c = k; c < n; ++c) {
            double squares = 0.0;
            for (int i = k; i < m; ++i) squares += q(i, c) * q(i, c);
            if (squares > bestSquares) {
                bestSquares = squares;
                best = c;
            }
        }
        if (best != k) {
            for (int i = 0; i < m; ++i) std::swap(q(i, k), q(i, best));
            std::swap(permutation[k], permutation[best]);
        }
        ReflectColumn(q, f.tau, k);
    }
}

int QrRank(const QrFactors& f) {
    const DenseMatrix& q = f.qr;
    const double eps = std::numeric_limits<double>::epsilon();
    const double least = eps * std::max(q.Rows(), q.Columns()) * std::fabs(q(0, 0));
    int rank = 0;
    while (rank < Reflections(q) && std::fabs(q(rank, rank)) > least) ++rank;
    return rank;
}

void ApplyQTransposed(const QrFactors& f, std::vector<double>& b) {
    const int m = f.qr.Rows();
    for (int k = 0; k < Reflections(f.qr); ++k) {
        if (f.tau[k] == 0.0) continue;
        double dot = b[k];
        for (int i = k + 1; i < m; ++i) dot += f.qr(i, k) * b[i];
        dot *= f.tau[k];
        b[k] -= dot;
        for (int i = k + 1; i < m; ++i) b[i] -= dot * f.qr(i, k);
    }
}

void SolveUpperTriangular(const QrFactors& f, std::vector<double>& b) {
    const int n = f.qr.Columns();
    double largest = 0.0;
    for (int k = 0; k < n; ++k) largest = std::max(largest, std::fabs(f.qr(k, k)));
    const double eps = std::numeric_limits<double>::epsilon();
    const double tiny = largest > 0.0 ? eps * largest : eps;
    for (int k = n - 1; k >= 0; --k) {
        double sum = b[k];
        for (int c = k + 1; c < n; ++c) sum -= f.qr(k, c) * b[c];
        double d = f.qr(k, k);
        if (std::fabs(d) <= tiny) d = d < 0 ? -tiny : tiny;
        b[k] = sum / d;
    }
}

bool LuFactorize(DenseMatrix& a, std::vector<int>& pivots) {
    const int n = a.Rows();
    pivots.assign(static_cast<std::size_t>(n), 0);
    for (int k = 0; k < n; ++k) {
        int p = k;
        for (int i = k + 1; i < n; ++i) {
            if (std::fabs(a(i, k)) > std::fabs(a(p, k))) p = i;
        }
        pivots[k] = p;
        if (a(p, k) == 0.0) return false;
        if (p != k) {
            for (int c = 0; c < n; ++c) std::swap(a(k, c), a(p, c));
        }
        for (int i = k + 1; i < n; ++i) {
            const double m = a(i, k) / a(k, k);
            a(i, k) = m;
            for (int c = k + 1; c < n; ++c) a(i, c) -= m * a(k, c);
        }
    }
    return true;
}

void LuSolve(const DenseMatrix& lu, const std::vector<int>& pivots, std::vector<double>& b) {
    const int n = lu.Rows();
    // The factorization swapped whole rows, multipliers included: all swaps first, then L.
    for (int k = 0; k < n; ++k) std::swap(b[k], b[pivots[k]]);
    for (int k = 0; k < n; ++k) {
        for (int i = k + 1; i < n; ++i) b[i] -= lu(i, k) * b[k];
    }
    for (int k = n - 1; k >= 0; --k) {
        double sum = b[k];
        for (int c = k + 1; c < n; ++c) sum -= lu(k, c) * b[c];
        b[k] = sum / lu(k, k);
    }
}
