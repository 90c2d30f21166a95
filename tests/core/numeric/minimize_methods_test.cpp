// The minimization methods on problems given as plain C++ callbacks.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "core/numeric/minimize_constrained.h"
#include "core/numeric/minimize_unconstrained.h"
#include "core/numeric/optimality.h"

namespace {

using Vector = std::vector<double>;

// f, its gradient and Hessian, and constraints with their gradients and Hessians, as lambdas.
struct Callbacks : SmoothProblem {
    int n = 0;
    std::function<double(const Vector&)> f;
    std::function<Vector(const Vector&)> g;
    std::function<std::vector<Vector>(const Vector&)> h;  // full rows
    std::vector<bool> equality;
    std::vector<std::function<double(const Vector&)>> c;
    std::vector<std::function<Vector(const Vector&)>> cg;
    std::vector<std::function<std::vector<Vector>(const Vector&)>> ch;

    int VariableCount() const override { return n; }
    int ConstraintCount() const override { return static_cast<int>(c.size()); }
    bool IsEquality(int i) const override { return equality[i]; }
    bool Values(const Vector& x, double& fx, Vector& cx) override {
        fx = f(x);
        for (std::size_t i = 0; i < c.size(); ++i) cx[i] = c[i](x);
        return std::isfinite(fx);
    }
    bool Gradients(const Vector& x, Vector& gx, DenseMatrix& j) override {
        gx = g(x);
        for (std::size_t i = 0; i < c.size(); ++i) {
            const Vector row = cg[i](x);
            for (int k = 0; k < n; ++k) j(static_cast<int>(i), k) = row[k];
        }
        return true;
    }
    bool Hessian(const Vector& x, const Vector& lambda, DenseMatrix& w) override {
        const auto hf = h(x);
        for (int a = 0; a < n; ++a) {
            for (int b = 0; b <= a; ++b) w(a, b) = hf[a][b];
        }
        for (std::size_t i = 0; i < c.size() && !lambda.empty(); ++i) {
            const auto hc = ch[i](x);
            for (int a = 0; a < n; ++a) {
                for (int b = 0; b <= a; ++b) w(a, b) -= lambda[i] * hc[a][b];
            }
        }
        return true;
    }
};

Callbacks Rosenbrock() {
    Callbacks p;
    p.n = 2;
    p.f = [](const Vector& x) {
        return 100 * std::pow(x[1] - x[0] * x[0], 2) + std::pow(1 - x[0], 2);
    };
    p.g = [](const Vector& x) {
        return Vector{-400 * x[0] * (x[1] - x[0] * x[0]) - 2 * (1 - x[0]),
                      200 * (x[1] - x[0] * x[0])};
    };
    p.h = [](const Vector& x) {
        return std::vector<Vector>{{1200 * x[0] * x[0] - 400 * x[1] + 2, -400 * x[0]},
                                   {-400 * x[0], 200}};
    };
    return p;
}

// f = x^3 - 3x + y^2: a minimum at (1, 0), a saddle at (-1, 0).
Callbacks CubicSaddle() {
    Callbacks p;
    p.n = 2;
    p.f = [](const Vector& x) { return x[0] * x[0] * x[0] - 3 * x[0] + x[1] * x[1]; };
    p.g = [](const Vector& x) { return Vector{3 * x[0] * x[0] - 3, 2 * x[1]}; };
    p.h = [](const Vector& x) { return std::vector<Vector>{{6 * x[0], 0}, {0, 2}}; };
    return p;
}

// (x - 2)^2 with x >= 1 (and optionally x <= 3 as 3 - x >= 0).
Callbacks BoundedParabola() {
    Callbacks p;
    p.n = 1;
    p.f = [](const Vector& x) { return (x[0] - 2) * (x[0] - 2); };
    p.g = [](const Vector& x) { return Vector{2 * (x[0] - 2)}; };
    p.h = [](const Vector&) { return std::vector<Vector>{{2}}; };
    p.equality = {false};
    p.c = {[](const Vector& x) { return x[0] - 1; }};
    p.cg = {[](const Vector&) { return Vector{1}; }};
    p.ch = {[](const Vector&) { return std::vector<Vector>{{0}}; }};
    return p;
}

MinimizeSettings Settings() {
    MinimizeSettings s;
    s.maxIterations = 200;
    s.tolerance = 1e-10;
    return s;
}

}  // namespace

TEST(TrustRegionNewton, LeavesSaddlesAndMaxima) {
    Callbacks saddle = CubicSaddle();
    // Started exactly at the saddle: the gradient is zero, only the curvature leads away.
    for (const Vector& start : {Vector{-1, 0}, Vector{-0.8, 0.3}, Vector{-1, 1e-9}}) {
        const MinimizeResult r = MinimizeTrustRegion(saddle, start, Settings());
        ASSERT_EQ(r.stop, MinimizeStop::kConverged) << start[0];
        EXPECT_NEAR(r.x[0], 1.0, 1e-9);
        EXPECT_NEAR(r.x[1], 0.0, 1e-9);
    }
    Callbacks up;  // -(x-1)^2 - (y-2)^2 falls without bound away from its maximum
    up.n = 2;
    up.f = [](const Vector& x) { return -(x[0] - 1) * (x[0] - 1) - (x[1] - 2) * (x[1] - 2); };
    up.g = [](const Vector& x) { return Vector{-2 * (x[0] - 1), -2 * (x[1] - 2)}; };
    up.h = [](const Vector&) { return std::vector<Vector>{{-2, 0}, {0, -2}}; };
    const MinimizeResult r = MinimizeTrustRegion(up, {1, 2}, Settings());
    EXPECT_EQ(r.stop, MinimizeStop::kUnbounded);
    EXPECT_LT(r.f, -1e50);
}

// From the classic start: the minimum, or with three iterations allowed the last accepted point.
TEST(TrustRegionNewton, RosenbrocksMinimumAndTheIterationLimitAndNothingEvaluated) {
    Callbacks p = Rosenbrock();
    const MinimizeResult r = MinimizeTrustRegion(p, {-1.2, 1}, Settings());
    ASSERT_EQ(r.stop, MinimizeStop::kConverged);
    EXPECT_NEAR(r.x[0], 1.0, 1e-8);
    EXPECT_NEAR(r.x[1], 1.0, 1e-8);
    EXPECT_LT(r.f, 1e-18);
    EXPECT_LT(r.iterations, 40);
    MinimizeSettings s = Settings();
    s.maxIterations = 3;
    const MinimizeResult limited = MinimizeTrustRegion(p, {-1.2, 1}, s);
    EXPECT_EQ(limited.stop, MinimizeStop::kIterationLimit);
    EXPECT_EQ(limited.iterations, 3);
    EXPECT_LT(limited.f, p.f({-1.2, 1}));  // lower than the start
    Callbacks broken = Rosenbrock();
    broken.f = [](const Vector&) { return std::nan(""); };
    EXPECT_EQ(MinimizeTrustRegion(broken, {0, 0}, Settings()).stop, MinimizeStop::kEvaluationError);
}

// An inactive bound is left from every start; an active one gets a positive multiplier.
TEST(InteriorPoint, BoundIsLeftForTheInteriorMinimumOrActiveWithAPositiveMultiplier) {
    Callbacks p = BoundedParabola();
    for (double start : {0.1, 0.5, 0.999, 1.0, 1.5, 5.0}) {
        const MinimizeResult r = MinimizeInteriorPoint(p, {start}, Settings());
        ASSERT_EQ(r.stop, MinimizeStop::kConverged) << start;
        EXPECT_NEAR(r.x[0], 2.0, 1e-8) << start;
        EXPECT_NEAR(r.lambda[0], 0.0, 1e-8);
    }
    p.c[0] = [](const Vector& x) { return x[0] - 3; };  // x >= 3: the bound is active
    const MinimizeResult r = MinimizeInteriorPoint(p, {0.5}, Settings());
    ASSERT_EQ(r.stop, MinimizeStop::kConverged);
    EXPECT_NEAR(r.x[0], 3.0, 1e-8);
    EXPECT_NEAR(r.lambda[0], 2.0, 1e-7);  // f' = lambda c'
}

TEST(InteriorPoint, EqualityOnACircleAvoidsTheMaximum) {
    // min x + y on x^2 + y^2 = 2: minimum (-1, -1); (1, 1) is the maximum, started next to it.
    Callbacks p;
    p.n = 2;
    p.f = [](const Vector& x) { return x[0] + x[1]; };
    p.g = [](const Vector&) { return Vector{1, 1}; };
    p.h = [](const Vector&) { return std::vector<Vector>{{0, 0}, {0, 0}}; };
    p.equality = {true};
    p.c = {[](const Vector& x) { return x[0] * x[0] + x[1] * x[1] - 2; }};
    p.cg = {[](const Vector& x) { return Vector{2 * x[0], 2 * x[1]}; }};
    p.ch = {[](const Vector&) { return std::vector<Vector>{{2, 0}, {0, 2}}; }};
    const MinimizeResult r = MinimizeInteriorPoint(p, {1.1, 0.9}, Settings());
    ASSERT_EQ(r.stop, MinimizeStop::kConverged);
    EXPECT_NEAR(r.x[0], -1.0, 1e-8);
    EXPECT_NEAR(r.x[1], -1.0, 1e-8);
    EXPECT_NEAR(r.lambda[0], -0.5, 1e-8);
}

TEST(Optimality, ClassifiesStationaryPoints) {
    DenseMatrix h;
    h.Reset(2, 2);
    h(0, 0) = -2;
    h(1, 1) = -2;
    EXPECT_EQ(CheckUnconstrained(0, {1, 2}, {0, 0}, h, 1e-8).verdict, Verdict::kMaximum);
    h(1, 1) = 2;
    EXPECT_EQ(CheckUnconstrained(0, {1, 2}, {0, 0}, h, 1e-8).verdict, Verdict::kSaddle);
    h(0, 0) = 0;  // semidefinite: a minimum by the second-order test
    EXPECT_EQ(CheckUnconstrained(0, {1, 2}, {0, 0}, h, 1e-8).verdict, Verdict::kMinimum);
    EXPECT_EQ(CheckUnconstrained(0, {1, 2}, {1e-3, 0}, h, 1e-8).verdict, Verdict::kNotStationary);
    // Rounding in a badly scaled gradient: the Newton decrease shows there is nothing left.
    h(0, 0) = 2;
    h(1, 1) = 2e12;
    EXPECT_EQ(CheckUnconstrained(0, {1e6, 2e-6}, {2e-10, 0}, h, 1e-8).verdict, Verdict::kMinimum);
}

TEST(Optimality, ConstrainedVerdictsNameTheConstraint) {
    ConstrainedPoint p;  // (x - 2)^2 with x >= 1 at x = 1 and the multiplier -2
    p.f = 1;
    p.x = {1};
    p.g = {-2};
    p.c = {0};
    p.equality = {false};
    p.jacobian.Reset(1, 1);
    p.jacobian(0, 0) = 1;
    p.lambda = {-2};
    p.lagrangianHessian.Reset(1, 1);
    p.lagrangianHessian(0, 0) = 2;
    EXPECT_EQ(CheckConstrained(p, 1e-8).verdict, Verdict::kWrongSign);
    EXPECT_EQ(CheckConstrained(p, 1e-8).constraint, 0);
    p.c = {-0.5};
    EXPECT_EQ(CheckConstrained(p, 1e-8).verdict, Verdict::kInfeasible);
    p.x = {2};  // the minimum, with the bound inactive and a multiplier left on it
    p.g = {0};
    p.c = {1};
    p.lambda = {0.5};
    EXPECT_EQ(CheckConstrained(p, 1e-8).verdict, Verdict::kNotComplementary);
    p.lambda = {0};
    EXPECT_EQ(CheckConstrained(p, 1e-8).verdict, Verdict::kMinimum);
    p.lagrangianHessian(0, 0) = -2;
    EXPECT_EQ(CheckConstrained(p, 1e-8).verdict, Verdict::kMaximum);
    // With the bound active its tangent space is empty: no curvature to test.
    p.x = {1};
    p.c = {0};
    p.g = {2};
    p.lambda = {2};
    EXPECT_EQ(CheckConstrained(p, 1e-8).verdict, Verdict::kMinimum);
}
