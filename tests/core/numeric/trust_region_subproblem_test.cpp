#include "core/numeric/trust_region_subproblem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/numeric/dense_linear.h"
#include "core/numeric/matrix_rows.h"

namespace {

SymmetricEigenSystem Eigen(const std::vector<std::vector<double>>& rows) {
    SymmetricEigenSystem e;
    SymmetricEigen(MatrixOf(rows), e);
    return e;
}

// m(p) = g^T p + p^T H p / 2 for a diagonal H.
double Model(const std::vector<double>& h, const std::vector<double>& g,
             const std::vector<double>& p) {
    double m = 0.0;
    for (std::size_t i = 0; i < p.size(); ++i) m += g[i] * p[i] + 0.5 * h[i] * p[i] * p[i];
    return m;
}

}  // namespace

// The Newton step inside the region, and its decrease only where H is positive definite.
TEST(TrustRegionSubproblem, NewtonStepInsideTheRegion) {
    const SubproblemStep s = SolveTrustRegionSubproblem(Eigen({{2, 0}, {0, 4}}), {2, -4}, 10.0);
    EXPECT_FALSE(s.onBoundary);
    EXPECT_NEAR(s.p[0], -1.0, 1e-15);
    EXPECT_NEAR(s.p[1], 1.0, 1e-15);
    EXPECT_NEAR(s.predicted, 3.0, 1e-14);  // g^T H^-1 g / 2
    EXPECT_NEAR(NewtonDecrease(Eigen({{2, 0}, {0, 4}}), {2, -4}, 1e-14), 3.0, 1e-14);
    EXPECT_LT(NewtonDecrease(Eigen({{2, 0}, {0, 0}}), {2, 0}, 1e-14), 0.0);
    EXPECT_LT(NewtonDecrease(Eigen({{2, 0}, {0, -1}}), {2, 0}, 1e-14), 0.0);
}

TEST(TrustRegionSubproblem, BoundaryStepSolvesTheShiftedSystem) {
    // (H + sigma I) p = -g with |p| = 1: 1 / (1 + sigma)^2 + 4 / (4 + sigma)^2 = 1.
    const std::vector<double> g{1, 4};
    const SubproblemStep s = SolveTrustRegionSubproblem(Eigen({{1, 0}, {0, 4}}), g, 1.0);
    EXPECT_TRUE(s.onBoundary);
    EXPECT_NEAR(Norm2(s.p, 2), 1.0, 1e-9);
    EXPECT_NEAR(s.p[0], -1.0 / (1.0 + s.sigma), 1e-12);
    EXPECT_NEAR(s.p[1], -4.0 / (4.0 + s.sigma), 1e-12);
    EXPECT_GT(s.sigma, 0.0);
    EXPECT_NEAR(s.predicted, -Model({1, 4}, g, s.p), 1e-12);
}

TEST(TrustRegionSubproblem, FollowsNegativeCurvatureToTheBoundary) {
    // At a maximum (g = 0, H negative definite) the step leaves along the most negative
    // curvature: the hard case.
    const SubproblemStep max = SolveTrustRegionSubproblem(Eigen({{-2, 0}, {0, -5}}), {0, 0}, 0.5);
    EXPECT_NEAR(std::fabs(max.p[1]), 0.5, 1e-14);
    EXPECT_NEAR(max.p[0], 0.0, 1e-14);
    EXPECT_NEAR(max.predicted, 0.5 * 5 * 0.25, 1e-14);
    // At a saddle with a gradient along the positive direction only.
    const SubproblemStep saddle = SolveTrustRegionSubproblem(Eigen({{2, 0}, {0, -1}}), {1, 0}, 2);
    EXPECT_NEAR(Norm2(saddle.p, 2), 2.0, 1e-9);
    EXPECT_NEAR(saddle.p[0], -1.0 / 3.0, 1e-12);  // sigma = 1, the hard case's shift
    EXPECT_NEAR(std::fabs(saddle.p[1]), std::sqrt(4.0 - 1.0 / 9.0), 1e-12);
    // Indefinite with a gradient component along the negative curvature: the easy case.
    const std::vector<double> g{1, 0.5};
    const SubproblemStep easy = SolveTrustRegionSubproblem(Eigen({{2, 0}, {0, -1}}), g, 1.0);
    EXPECT_NEAR(Norm2(easy.p, 2), 1.0, 1e-9);
    EXPECT_GT(easy.sigma, 1.0);
    double best = 0.0;  // the model's least value on the circle, sampled finely
    for (int k = 0; k < 36000; ++k) {
        const double a = 2 * M_PI * k / 36000;
        best = std::min(best, Model({2, -1}, g, {std::cos(a), std::sin(a)}));
    }
    EXPECT_LE(Model({2, -1}, g, easy.p), best + 1e-9);
    EXPECT_NEAR(easy.predicted, -Model({2, -1}, g, easy.p), 1e-12);
}
