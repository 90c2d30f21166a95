#include "core/numeric/lm_parameter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/numeric/dense_linear.h"

namespace {

constexpr double kDwarf = std::numeric_limits<double>::min();
constexpr int kMaxSearchSteps = 10;
constexpr double kRegionSlack = 0.1;  // |phi| within this share of delta is close enough

int Size(const std::vector<int>& permutation) {
    return static_cast<int>(permutation.size());
}

// || D x || with x and d by original column.
double ScaledNorm(const std::vector<double>& d, const std::vector<double>& x,
                  std::vector<double>& scaled) {
    scaled.resize(x.size());
    for (std::size_t j = 0; j < x.size(); ++j) scaled[j] = d[j] * x[j];
    return Norm2(scaled, static_cast<int>(x.size()));
}

// Givens rotation (c, s) that turns (a, b) into (rho, 0); the larger term is divided by, so
// nothing overflows.
void Rotation(double a, double b, double& c, double& s) {
    if (std::fabs(a) < std::fabs(b)) {
        const double cot = a / b;
        s = 0.5 / std::sqrt(0.25 + 0.25 * cot * cot);
        c = s * cot;
    } else {
        const double tan = b / a;
        c = 0.5 / std::sqrt(0.25 + 0.25 * tan * tan);
        s = c * tan;
    }
}

// q_j := (d_p(j) * scaled_p(j)) / norm in pivoted order: P^T D (D x) / ||D x||.
void ScaledDirection(const std::vector<int>& permutation, const std::vector<double>& d,
                     const std::vector<double>& scaled, double norm, std::vector<double>& q) {
    q.resize(permutation.size());
    for (int j = 0; j < Size(permutation); ++j) {
        const int l = permutation[j];
        q[j] = d[l] * (scaled[l] / norm);
    }
}

}  // namespace

void SolveRegularized(const DenseMatrix& r, const std::vector<int>& permutation,
                      const std::vector<double>& e, const std::vector<double>& qtf,
                      std::vector<double>& x, LmWorkspace& w) {
    const int n = Size(permutation);
    w.s.Reset(n, n);
    for (int i = 0; i < n; ++i) {
        for (int j = i; j < n; ++j) w.s(i, j) = r(i, j);
    }
    w.z.assign(qtf.begin(), qtf.begin() + n);
    w.row.assign(static_cast<std::size_t>(n), 0.0);
    for (int j = 0; j < n; ++j) {
        const double ej = e[permutation[j]];
        if (ej == 0.0) continue;
        // The row of P^T E P that holds ej at position j, with right-hand side 0, is rotated
        // into S row by row from j on; each rotation clears one more of its terms.
        std::fill(w.row.begin() + j, w.row.end(), 0.0);
        w.row[j] = ej;
        double extra = 0.0;
        for (int k = j; k < n; ++k) {
            if (w.row[k] == 0.0) continue;
            double c = 0.0, sn = 0.0;
            Rotation(w.s(k, k), w.row[k], c, sn);
            w.s(k, k) = c * w.s(k, k) + sn * w.row[k];
            const double zk = c * w.z[k] + sn * extra;
            extra = -sn * w.z[k] + c * extra;
            w.z[k] = zk;
            for (int i = k + 1; i < n; ++i) {
                const double sk = c * w.s(k, i) + sn * w.row[i];
                w.row[i] = -sn * w.s(k, i) + c * w.row[i];
                w.s(k, i) = sk;
            }
        }
    }
    w.sdiag.resize(static_cast<std::size_t>(n));
    int rank = n;
    for (int j = 0; j < n; ++j) {
        w.sdiag[j] = w.s(j, j);
        if (w.sdiag[j] == 0.0 && rank == n) rank = j;
    }
    for (int j = rank; j < n; ++j) w.z[j] = 0.0;
    for (int j = rank - 1; j >= 0; --j) {
        double sum = w.z[j];
        for (int i = j + 1; i < rank; ++i) sum -= w.s(j, i) * w.z[i];
        w.z[j] = sum / w.sdiag[j];
    }
    x.resize(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) x[permutation[j]] = w.z[j];
}

double LmParameter(const DenseMatrix& r, const std::vector<int>& permutation,
                   const std::vector<double>& d, const std::vector<double>& qtf, double delta,
                   double lambda0, std::vector<double>& x, LmWorkspace& w) {
    const int n = Size(permutation);

    // The Gauss-Newton step; with R singular, the least-squares solution of its leading part.
    int rank = n;
    for (int j = 0; j < n; ++j) {
        if (r(j, j) == 0.0 && rank == n) rank = j;
    }
    w.z.assign(qtf.begin(), qtf.begin() + n);
    for (int j = rank; j < n; ++j) w.z[j] = 0.0;
    for (int j = rank - 1; j >= 0; --j) {
        double sum = w.z[j];
        for (int i = j + 1; i < rank; ++i) sum -= r(j, i) * w.z[i];
        w.z[j] = sum / r(j, j);
    }
    x.resize(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) x[permutation[j]] = w.z[j];

    double norm = ScaledNorm(d, x, w.scaled);
    double phi = norm - delta;
    if (phi <= kRegionSlack * delta) return 0.0;

    // Lower end: Newton's step from lambda = 0, whose slope phi'(0) is known only when R is
    // not singular.
    double lower = 0.0;
    if (rank == n) {
        ScaledDirection(permutation, d, w.scaled, norm, w.q);
        for (int j = 0; j < n; ++j) {
            double sum = w.q[j];
            for (int i = 0; i < j; ++i) sum -= r(i, j) * w.q[i];
            w.q[j] = sum / r(j, j);
        }
        const double qn = Norm2(w.q, n);
        lower = ((phi / delta) / qn) / qn;
    }
    // Upper end: ||D^-1 J^T f|| / delta, with J^T f = P R^T qtf.
    w.q.resize(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) {
        double sum = 0.0;
        for (int i = 0; i <= j; ++i) sum += r(i, j) * qtf[i];
        w.q[j] = sum / d[permutation[j]];
    }
    const double gradient = Norm2(w.q, n);
    double upper = gradient / delta;
    if (upper == 0.0) upper = kDwarf / std::min(delta, kRegionSlack);

    double lambda = std::clamp(lambda0, lower, upper);
    if (lambda == 0.0) lambda = gradient / norm;

    w.e.resize(static_cast<std::size_t>(n));
    for (int step = 1;; ++step) {
        if (lambda == 0.0) lambda = std::max(kDwarf, 0.001 * upper);
        const double root = std::sqrt(lambda);
        for (int j = 0; j < n; ++j) w.e[j] = root * d[j];
        SolveRegularized(r, permutation, w.e, qtf, x, w);
        norm = ScaledNorm(d, x, w.scaled);
        const double previous = phi;
        phi = norm - delta;
        if (std::fabs(phi) <= kRegionSlack * delta ||
            (lower == 0.0 && phi <= previous && previous < 0.0) || step == kMaxSearchSteps) {
            break;
        }
        // Newton's correction from q = S^-T P^T D (D x) / ||D x||.
        ScaledDirection(permutation, d, w.scaled, norm, w.q);
        for (int j = 0; j < n; ++j) {
            double sum = w.q[j];
            for (int i = 0; i < j; ++i) sum -= w.s(i, j) * w.q[i];
            w.q[j] = sum / w.sdiag[j];
        }
        const double qn = Norm2(w.q, n);
        const double correction = ((phi / delta) / qn) / qn;
        if (phi > 0.0) lower = std::max(lower, lambda);
        if (phi < 0.0) upper = std::min(upper, lambda);
        lambda = std::max(lower, lambda + correction);
    }
    return lambda;
}
