/*
 * The trust-region subproblem  min m(p) = g^T p + p^T H p / 2  subject to |p| <= Delta,
 * after Moré and Sorensen, through the eigensystem H = Q diag(lambda) Q^T (ascending lambda).
 *
 * p solves it if and only if, for some sigma >= 0,
 *     (H + sigma I) p = -g,   H + sigma I positive semidefinite,   sigma (Delta - |p|) = 0.
 * With gamma = Q^T g, p(sigma) = -sum_k gamma_k / (lambda_k + sigma) q_k and
 * |p(sigma)|^2 = sum_k gamma_k^2 / (lambda_k + sigma)^2, decreasing in sigma.
 *
 *  1. Interior: lambda_1 > 0 and |p(0)| <= Delta: the Newton step p(0).
 *  2. Boundary: the root sigma > max(0, -lambda_1) of the secular equation
 *         phi(sigma) = 1 / |p(sigma)| - 1 / Delta = 0.
 *     phi is increasing and concave there, so Newton's method from the left does not pass
 *     the root; the iteration keeps a bracket [a, b] with |p(a)| > Delta >= |p(b)|, starting
 *     from a = max(0, -lambda_1), b = |g| / Delta + max(0, -lambda_1) (where |p(b)| <= Delta),
 *     and bisects whenever a Newton point leaves it.
 *     Stopping rule: | |p| - Delta | <= 1e-10 Delta, a bracket below the double precision of
 *     sigma, or 200 iterations.
 *  3. Hard case: g has no component along the eigenvectors of lambda_1 <= 0 (below 1e-12 |g|)
 *     and the step p~ = -sum over the other k of gamma_k / (lambda_k - lambda_1) q_k fits the
 *     region: then sigma = -lambda_1 and p = p~ + tau q_1 with |p| = Delta. This is also the
 *     step out of a stationary point with negative curvature (g = 0), along the most negative
 *     curvature.
 * The predicted decrease is -m(p) = -sum_k (gamma_k c_k + lambda_k c_k^2 / 2) with c = Q^T p.
 */
#include "core/numeric/trust_region_subproblem.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kBoundaryAccuracy = 1e-10;
constexpr double kHardCaseComponent = 1e-12;
constexpr double kClusterWidth = 1e-10;
constexpr int kMaxSecularIterations = 200;

double Largest(const std::vector<double>& values) {
    double largest = 0.0;
    for (double v : values) largest = std::max(largest, std::fabs(v));
    return largest;
}

// The step and its predicted decrease from the coefficients c = Q^T p.
SubproblemStep Assemble(const SymmetricEigenSystem& h, const std::vector<double>& gamma,
                        const std::vector<double>& c, double sigma, bool onBoundary) {
    const int n = static_cast<int>(gamma.size());
    SubproblemStep step;
    step.p.assign(static_cast<std::size_t>(n), 0.0);
    double model = 0.0;
    for (int k = 0; k < n; ++k) {
        model += gamma[k] * c[k] + 0.5 * h.values[k] * c[k] * c[k];
        for (int i = 0; i < n; ++i) step.p[i] += c[k] * h.vectors(i, k);
    }
    step.predicted = std::max(0.0, -model);
    step.sigma = sigma;
    step.onBoundary = onBoundary;
    return step;
}

double NormAt(const SymmetricEigenSystem& h, const std::vector<double>& gamma, double sigma) {
    double sum = 0.0;
    for (std::size_t k = 0; k < gamma.size(); ++k) {
        if (gamma[k] == 0.0) continue;
        const double d = h.values[k] + sigma;
        sum += gamma[k] * gamma[k] / (d * d);
    }
    return std::sqrt(sum);
}

double SolveSecular(const SymmetricEigenSystem& h, const std::vector<double>& gamma, double radius,
                    double a, double b) {
    double sigma = b;
    for (int it = 0; it < kMaxSecularIterations; ++it) {
        const double norm = NormAt(h, gamma, sigma);
        if (std::fabs(norm - radius) <= kBoundaryAccuracy * radius) break;
        if (norm > radius)
            a = sigma;
        else
            b = sigma;
        if (b - a <= 4e-16 * std::max(1.0, std::fabs(b))) break;
        double cubes = 0.0;
        for (std::size_t k = 0; k < gamma.size(); ++k) {
            const double d = h.values[k] + sigma;
            cubes += gamma[k] * gamma[k] / (d * d * d);
        }
        const double phi = 1.0 / norm - 1.0 / radius;
        const double slope = cubes / (norm * norm * norm);
        double next = (std::isfinite(norm) && slope > 0.0) ? sigma - phi / slope : a;
        if (!(next > a && next < b)) next = 0.5 * (a + b);
        sigma = next;
    }
    return sigma;
}

}  // namespace

SubproblemStep SolveTrustRegionSubproblem(const SymmetricEigenSystem& h,
                                          const std::vector<double>& g, double radius) {
    const int n = static_cast<int>(g.size());
    std::vector<double> gamma(static_cast<std::size_t>(n), 0.0);
    double gNorm = 0.0;
    for (int k = 0; k < n; ++k) {
        for (int i = 0; i < n; ++i) gamma[k] += h.vectors(i, k) * g[i];
        gNorm += g[k] * g[k];
    }
    gNorm = std::sqrt(gNorm);
    const double lambda1 = n > 0 ? h.values[0] : 0.0;
    std::vector<double> c(static_cast<std::size_t>(n), 0.0);

    if (lambda1 > 0.0) {
        for (int k = 0; k < n; ++k) c[k] = -gamma[k] / h.values[k];
        if (NormAt(h, gamma, 0.0) <= radius) return Assemble(h, gamma, c, 0.0, false);
    }

    const double low = std::max(0.0, -lambda1);
    if (lambda1 <= 0.0) {
        const double width = kClusterWidth * std::max(Largest(h.values), 1e-300);
        double clusterComponent = 0.0, restNorm = 0.0;
        for (int k = 0; k < n; ++k) {
            if (h.values[k] <= lambda1 + width) {
                clusterComponent = std::max(clusterComponent, std::fabs(gamma[k]));
                c[k] = 0.0;
            } else {
                c[k] = -gamma[k] / (h.values[k] - lambda1);
                restNorm += c[k] * c[k];
            }
        }
        restNorm = std::sqrt(restNorm);
        if (clusterComponent <= kHardCaseComponent * gNorm && restNorm <= radius) {
            c[0] = std::sqrt(std::max(0.0, radius * radius - restNorm * restNorm));
            return Assemble(h, gamma, c, low, true);
        }
    }
    const double sigma = SolveSecular(h, gamma, radius, low, gNorm / radius + low);
    for (int k = 0; k < n; ++k) {
        const double d = h.values[k] + sigma;
        c[k] = d != 0.0 ? -gamma[k] / d : 0.0;
    }
    return Assemble(h, gamma, c, sigma, true);
}

double NewtonDecrease(const SymmetricEigenSystem& h, const std::vector<double>& g,
                      double tolerance) {
    const int n = static_cast<int>(g.size());
    if (n == 0) return 0.0;
    if (!(h.values[0] > tolerance * Largest(h.values))) return -1.0;
    double sum = 0.0;
    for (int k = 0; k < n; ++k) {
        double gamma = 0.0;
        for (int i = 0; i < n; ++i) gamma += h.vectors(i, k) * g[i];
        sum += gamma * gamma / h.values[k];
    }
    return 0.5 * sum;
}
