#include "core/numeric/dense_linear.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "core/numeric/matrix_rows.h"

namespace {

using Rows = std::vector<std::vector<double>>;

double LargestResidual(const Rows& a, const std::vector<double>& x, const std::vector<double>& b) {
    std::vector<double> ax;
    Multiply(MatrixOf(a), x, ax);
    double largest = 0.0;
    for (std::size_t r = 0; r < a.size(); ++r) largest = std::max(largest, std::fabs(ax[r] - b[r]));
    return largest;
}

// Systems whose elimination needs row exchanges at several steps, and a zero leading term.
const Rows kSystems[] = {
    {{0, 2, 1}, {1, 1, 1}, {4, 0, 3}},
    {{1e-12, 1, 0, 0}, {1, 1, 1, 0}, {0, 5, 1, 2}, {3, 0, 0, 1}},
    {{2, -1, 0}, {-1, 2, -1}, {0, -1, 2}},
};

}  // namespace

TEST(DenseLinear, LuAndQrSolveSystemsThatNeedRowExchangesAndRandomOnes) {
    std::vector<Rows> systems(std::begin(kSystems), std::end(kSystems));
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (int n = 1; n <= 26; n += 5) {
        Rows& rows = systems.emplace_back(n, std::vector<double>(n));
        for (auto& row : rows) {
            for (double& v : row) v = value(rng);
        }
    }
    for (const Rows& rows : systems) {
        SCOPED_TRACE(::testing::Message() << "n=" << rows.size());
        std::vector<double> b;
        for (std::size_t r = 0; r < rows.size(); ++r) b.push_back(r + 1.0);

        DenseMatrix lu = MatrixOf(rows);
        std::vector<int> pivots;
        ASSERT_TRUE(LuFactorize(lu, pivots));
        std::vector<double> x = b;
        LuSolve(lu, pivots, x);
        EXPECT_LT(LargestResidual(rows, x, b), 1e-12);

        QrFactors qr;
        QrFactorize(MatrixOf(rows), qr);
        std::vector<double> y = b;
        ApplyQTransposed(qr, y);
        SolveUpperTriangular(qr, y);
        EXPECT_LT(LargestResidual(rows, y, b), 1e-12);
    }
}

TEST(DenseLinear, SingularMatrixGivesAFiniteStepAlongItsNullSpace) {
    // Columns 1 and 2 are equal: the null space is (1, -1, 0).
    const Rows rows = {{1, 1, 0}, {2, 2, 1}, {0, 0, 3}};
    DenseMatrix lu = MatrixOf(rows);
    std::vector<int> pivots;
    EXPECT_FALSE(LuFactorize(lu, pivots));

    QrFactors qr;
    QrFactorize(MatrixOf(rows), qr);
    std::vector<double> y = {1.0, 0.0, 0.0};  // not in the range: the solution is huge
    ApplyQTransposed(qr, y);
    SolveUpperTriangular(qr, y);
    for (double v : y) EXPECT_TRUE(std::isfinite(v));
    const double length = std::hypot(y[0], y[1], y[2]);
    EXPECT_GT(length, 1e10);
    EXPECT_NEAR(std::fabs(y[0] + y[1]) / length, 0.0, 1e-6);  // along (1, -1, 0)
}

TEST(DenseLinear, ProductsAndNormAvoidOverflow) {
    const DenseMatrix a = MatrixOf({{1, 2, 3}, {4, 5, 6}});
    std::vector<double> y;
    Multiply(a, {1, 0, -1}, y);
    EXPECT_EQ(y, (std::vector<double>{-2, -2}));
    MultiplyTransposed(a, {1, -1}, y);
    EXPECT_EQ(y, (std::vector<double>{-3, -3, -3}));
    // Squares of 1e200 overflow; the scaled norm does not.
    EXPECT_DOUBLE_EQ(Norm2({3e200, 4e200}, 2), 5e200);
    EXPECT_EQ(Norm2({0.0, 0.0}, 2), 0.0);
}

TEST(DenseLinear, PivotedQrOfATallMatrixGivesItsLeastSquaresSolution) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    // Columns of very different sizes, so the pivot order differs from the column order.
    const double size[] = {1e-3, 1.0, 1e4, 10.0, 1e-1};
    Rows rows(40, std::vector<double>(5));
    std::vector<double> b(40);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 5; ++c) rows[r][c] = size[c] * value(rng);
        b[r] = value(rng);
    }
    QrFactors qr;
    qr.qr = MatrixOf(rows);
    std::vector<int> permutation;
    QrFactorizePivoted(qr, permutation);
    std::vector<double> y = b;
    ApplyQTransposed(qr, y);
    SolveUpperTriangular(qr, y);
    // x = P R^-1 (Q^T b): the least-squares solution, as A has full rank.
    std::vector<double> x(5);
    for (int k = 0; k < 5; ++k) x[permutation[k]] = y[k];

    EXPECT_EQ(permutation[0], 2);  // the largest column first
    std::vector<int> sorted = permutation;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2, 3, 4}));
    for (int k = 1; k < 5; ++k) EXPECT_LE(std::fabs(qr.qr(k, k)), std::fabs(qr.qr(k - 1, k - 1)));
    // At the least-squares solution the residual is orthogonal to every column.
    std::vector<double> residual;
    Multiply(MatrixOf(rows), x, residual);
    for (std::size_t r = 0; r < rows.size(); ++r) residual[r] -= b[r];
    for (int c = 0; c < 5; ++c) {
        double dot = 0.0, column = 0.0;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            dot += rows[r][c] * residual[r];
            column += rows[r][c] * rows[r][c];
        }
        EXPECT_LT(std::fabs(dot) / (std::sqrt(column) * Norm2(residual, 40)), 1e-12) << c;
    }
}

TEST(DenseLinear, PivotedQrMovesADependentColumnToTheEnd) {
    // Column 0 is the sum of columns 1 and 2 and the largest, so it comes first; whichever of
    // the others comes last is then dependent: R ends in a zero diagonal term.
    const Rows rows = {{3, 1, 2}, {5, 4, 1}, {2, 1, 1}, {9, 4, 5}};
    QrFactors qr;
    qr.qr = MatrixOf(rows);
    std::vector<int> permutation;
    QrFactorizePivoted(qr, permutation);
    EXPECT_EQ(permutation[0], 0);
    EXPECT_LT(std::fabs(qr.qr(2, 2)), 1e-14 * std::fabs(qr.qr(0, 0)));
    EXPECT_GT(std::fabs(qr.qr(1, 1)), 0.1);
    // Q^T keeps lengths.
    std::vector<double> b = {1, 2, 3, 4};
    ApplyQTransposed(qr, b);
    EXPECT_NEAR(Norm2(b, 4), std::sqrt(30.0), 1e-14);
}
