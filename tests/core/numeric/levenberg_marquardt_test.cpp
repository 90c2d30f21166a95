// Levenberg-Marquardt and its subproblem on problems of the MINPACK test set (Moré, Garbow and
// Hillstrom, "Testing unconstrained optimization software", 1981), whose minima are published.

#include "core/numeric/levenberg_marquardt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/data_table.h"
#include "core/numeric/dense_linear.h"
#include "core/numeric/lm_parameter.h"
#include "core/numeric/matrix_rows.h"

namespace {

using Vector = std::vector<double>;

// A problem given by one function of x that fills the residuals and, when asked, the Jacobian
// (row i, column k).
class Problem : public LeastSquaresProblem {
   public:
    using Function = std::function<bool(const Vector&, Vector&, DenseMatrix*)>;
    Problem(int m, int n, Function f) : m_(m), n_(n), f_(std::move(f)) {}
    int Observations() const override { return m_; }
    int Parameters() const override { return n_; }
    bool Residuals(const Vector& x, Vector& r) override { return f_(x, r, nullptr); }
    bool Jacobian(const Vector& x, DenseMatrix& j) override {
        Vector r(m_);
        f_(x, r, &j);
        return true;
    }
    bool Continue(int iteration, double) override { return iteration <= stopAfter; }
    int stopAfter = 1 << 30;

   private:
    int m_, n_;
    Function f_;
};

double SumOfSquares(Problem& p, const Vector& x) {
    Vector r(p.Observations());
    p.Residuals(x, r);
    double s = 0.0;
    for (double v : r) s += v * v;
    return s;
}

Problem Rosenbrock() {
    return Problem(2, 2, [](const Vector& x, Vector& r, DenseMatrix* j) {
        r[0] = 10.0 * (x[1] - x[0] * x[0]);
        r[1] = 1.0 - x[0];
        if (j != nullptr) {
            (*j)(0, 0) = -20.0 * x[0];
            (*j)(0, 1) = 10.0;
            (*j)(1, 0) = -1.0;
            (*j)(1, 1) = 0.0;
        }
        return true;
    });
}

Problem FreudensteinRoth() {
    return Problem(2, 2, [](const Vector& x, Vector& r, DenseMatrix* j) {
        r[0] = -13.0 + x[0] + ((5.0 - x[1]) * x[1] - 2.0) * x[1];
        r[1] = -29.0 + x[0] + ((x[1] + 1.0) * x[1] - 14.0) * x[1];
        if (j != nullptr) {
            (*j)(0, 0) = 1.0;
            (*j)(0, 1) = x[1] * (10.0 - 3.0 * x[1]) - 2.0;
            (*j)(1, 0) = 1.0;
            (*j)(1, 1) = x[1] * (2.0 + 3.0 * x[1]) - 14.0;
        }
        return true;
    });
}

const double kBardY[] = {0.14, 0.18, 0.22, 0.25, 0.29, 0.32, 0.35, 0.39,
                         0.37, 0.58, 0.73, 0.96, 1.34, 2.10, 4.39};

Problem Bard() {
    return Problem(15, 3, [](const Vector& x, Vector& r, DenseMatrix* j) {
        for (int i = 0; i < 15; ++i) {
            const double u = i + 1, v = 15 - i, w = std::min(u, v), d = v * x[1] + w * x[2];
            r[i] = kBardY[i] - (x[0] + u / d);
            if (j == nullptr) continue;
            (*j)(i, 0) = -1.0;
            (*j)(i, 1) = u * v / (d * d);
            (*j)(i, 2) = u * w / (d * d);
        }
        return true;
    });
}

const double kMeyerY[] = {34780, 28610, 23650, 19630, 16370, 13720, 11540, 9744,
                          8261,  7030,  6005,  5147,  4427,  3820,  3307,  2872};

// Badly scaled: the parameters differ by six orders of magnitude.
Problem Meyer() {
    return Problem(16, 3, [](const Vector& x, Vector& r, DenseMatrix* j) {
        for (int i = 0; i < 16; ++i) {
            const double t = 45.0 + 5.0 * (i + 1), e = std::exp(x[1] / (t + x[2]));
            r[i] = x[0] * e - kMeyerY[i];
            if (j == nullptr) continue;
            (*j)(i, 0) = e;
            (*j)(i, 1) = x[0] * e / (t + x[2]);
            (*j)(i, 2) = -x[0] * e * x[1] / ((t + x[2]) * (t + x[2]));
        }
        return true;
    });
}

// Linear function of rank 1: f_i = i sum_j j x_j - 1. Its minimum S = m (m - 1) / (2 (2m + 1))
// is taken on a hyperplane.
Problem LinearRankOne(int m, int n) {
    return Problem(m, n, [m, n](const Vector& x, Vector& r, DenseMatrix* j) {
        double sum = 0.0;
        for (int k = 0; k < n; ++k) sum += (k + 1) * x[k];
        for (int i = 0; i < m; ++i) {
            r[i] = (i + 1) * sum - 1.0;
            for (int k = 0; j != nullptr && k < n; ++k) (*j)(i, k) = (i + 1.0) * (k + 1.0);
        }
        return true;
    });
}

// The numbers of a data-table field.
Vector Numbers(const std::string& field) {
    Vector v;
    std::istringstream in(field);
    for (double d; in >> d;) v.push_back(d);
    return v;
}

}  // namespace

TEST(LevenbergMarquardt, ReachesThePublishedMinimaOfTheTestProblems) {
    const std::map<std::string, Problem (*)()> problems = {
        {"Rosenbrock", Rosenbrock}, {"Freudenstein-Roth", FreudensteinRoth}, {"Bard", Bard},
        {"Meyer", Meyer}};
    for (const data_table::Row& c : data_table::Read("lm_published_minima/problems", 4)) {
        SCOPED_TRACE(c[0]);
        Problem p = problems.at(c[0])();
        Vector x = Numbers(c[1]);
        const double minimum = std::stod(c[2]);
        const Vector solution = Numbers(c[3]);
        const LmResult result = LevenbergMarquardt(p, x, LmSettings{});
        EXPECT_TRUE(Converged(result.outcome)) << static_cast<int>(result.outcome);
        EXPECT_NEAR(result.finalSum, minimum, 1e-8 * std::max(1.0, minimum));
        EXPECT_DOUBLE_EQ(result.finalSum, SumOfSquares(p, x));
        EXPECT_GT(result.initialSum, result.finalSum);
        ASSERT_EQ(solution.size(), x.size());
        for (std::size_t k = 0; k < solution.size(); ++k) {
            EXPECT_NEAR(x[k], solution[k], 1e-6 * std::fabs(solution[k])) << k;
        }
    }
}

TEST(LevenbergMarquardt, LinearModelInOneStepAndDependentParametersStayPut) {
    const int m = 10, n = 5;
    Problem p = LinearRankOne(m, n);
    Vector x(n, 1.0);
    const LmResult result = LinearLeastSquares(p, x);
    EXPECT_EQ(result.outcome, LmOutcome::kLinearSolved);
    EXPECT_TRUE(result.rankDeficient);
    EXPECT_EQ(result.iterations, 1);
    EXPECT_NEAR(result.finalSum, m * (m - 1.0) / (2.0 * (2.0 * m + 1.0)), 1e-12);
    // One parameter moves; the four that depend on it keep their starting values.
    int moved = 0;
    for (double v : x) moved += v != 1.0;
    EXPECT_EQ(moved, 1);

    // The iteration reaches the same sum of squares on the rank-deficient problem.
    Vector y(n, 1.0);
    const LmResult iterated = LevenbergMarquardt(p, y, LmSettings{});
    EXPECT_TRUE(Converged(iterated.outcome));
    EXPECT_NEAR(iterated.finalSum, result.finalSum, 1e-10);
}

TEST(LevenbergMarquardt, FailuresAreNotReportedAsConvergence) {
    // r = x + 1 is defined for x >= 0 only: the least sum of squares lies on the edge of the
    // domain, where every step towards the unconstrained minimum fails to evaluate. The steps
    // that stay inside reach it to the precision the tests ask for.
    Problem edge(1, 1, [](const Vector& x, Vector& r, DenseMatrix* j) {
        r[0] = x[0] + 1.0;
        if (j != nullptr) (*j)(0, 0) = 1.0;
        return x[0] >= 0.0;
    });
    Vector x = {1.0};
    LmResult result = LevenbergMarquardt(edge, x, LmSettings{});
    EXPECT_TRUE(Converged(result.outcome));
    EXPECT_NEAR(result.finalSum, 1.0, 1e-9);
    EXPECT_GE(x[0], 0.0);

    // Defined at the start alone: the region shrinks because no neighbour can be evaluated,
    // which is no minimum.
    Problem isolated(1, 1, [](const Vector& at, Vector& r, DenseMatrix* j) {
        r[0] = at[0] + 1.0;
        if (j != nullptr) (*j)(0, 0) = 1.0;
        return at[0] == 1.0;
    });
    x = {1.0};
    result = LevenbergMarquardt(isolated, x, LmSettings{});
    EXPECT_EQ(result.outcome, LmOutcome::kDomainEdge);
    EXPECT_EQ(x[0], 1.0);
    EXPECT_EQ(result.finalSum, 4.0);

    Vector outside = {-1.0};
    EXPECT_EQ(LevenbergMarquardt(edge, outside, LmSettings{}).outcome,
              LmOutcome::kStartNotEvaluated);

    Problem meyer = Meyer();
    Vector y = {0.02, 4000.0, 250.0};
    LmSettings few;
    few.maxEvaluations = 5;
    result = LevenbergMarquardt(meyer, y, few);
    EXPECT_EQ(result.outcome, LmOutcome::kEvaluationLimit);
    EXPECT_EQ(result.evaluations, 5);
    EXPECT_LE(result.finalSum, result.initialSum);

    meyer.stopAfter = 2;
    y = {0.02, 4000.0, 250.0};
    result = LevenbergMarquardt(meyer, y, LmSettings{});
    EXPECT_EQ(result.outcome, LmOutcome::kStopped);
    EXPECT_EQ(result.iterations, 2);
}

TEST(LevenbergMarquardt, JudgesPointsReachedOtherwise) {
    Problem p = Bard();
    double sum = 0.0;
    const Vector minimum = {0.0824105597, 1.13303609, 2.34369507};
    LmSettings loose;
    loose.ftol = loose.gtol = 1e-8;
    EXPECT_TRUE(Converged(JudgeLeastSquaresPoint(p, minimum, loose, sum)));
    EXPECT_NEAR(sum, 8.21487730657e-3, 1e-12);
    EXPECT_EQ(JudgeLeastSquaresPoint(p, {1.0, 1.0, 1.0}, loose, sum), LmOutcome::kNotConverged);
}

TEST(LmParameter, StepEndsNearTheRegionsEdgeOrInsideWithoutDamping) {
    // A 6 x 3 Jacobian with very different column scales, and a residual vector.
    const DenseMatrix a = MatrixOf({{1, 200, 0.01},
                                    {2, -100, 0.03},
                                    {0, 50, -0.02},
                                    {3, 10, 0.05},
                                    {-1, 0, 0.01},
                                    {1, 1, 1e-3}});
    Vector f = {1, -2, 0.5, 3, -1, 2};
    QrFactors qr;
    qr.qr = a;
    std::vector<int> permutation;
    QrFactorizePivoted(qr, permutation);
    Vector qtf = f;
    ApplyQTransposed(qr, qtf);
    const Vector d = {3.0, 250.0, 0.06};
    LmWorkspace w;
    Vector x;

    // A region larger than the Gauss-Newton step: no damping.
    EXPECT_EQ(LmParameter(qr.qr, permutation, d, qtf, 1e6, 0.0, x, w), 0.0);
    const Vector gaussNewton = x;

    for (double delta : {1.0, 0.1, 1e-3}) {
        SCOPED_TRACE(delta);
        const double lambda = LmParameter(qr.qr, permutation, d, qtf, delta, 0.0, x, w);
        EXPECT_GT(lambda, 0.0);
        double norm = 0.0;
        for (int k = 0; k < 3; ++k) norm += d[k] * x[k] * d[k] * x[k];
        EXPECT_NEAR(std::sqrt(norm), delta, 0.1 * delta);
        // x solves (J^T J + lambda D^2) x = J^T f.
        Vector jx, lhs, rhs;
        Multiply(a, x, jx);
        MultiplyTransposed(a, jx, lhs);
        MultiplyTransposed(a, f, rhs);
        for (int k = 0; k < 3; ++k) {
            lhs[k] += lambda * d[k] * d[k] * x[k];
            EXPECT_NEAR(lhs[k], rhs[k], 1e-9 * std::max(1.0, std::fabs(rhs[k]))) << k;
        }
    }
    EXPECT_NE(x, gaussNewton);
}
