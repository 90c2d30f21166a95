#include "core/numeric/symmetric_eigen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/numeric/matrix_rows.h"

namespace {

// |A v_k - lambda_k v_k| for every pair, and |V^T V - I|.
void ExpectEigensystemOf(const DenseMatrix& a, const SymmetricEigenSystem& e) {
    const int n = a.Rows();
    for (int k = 0; k < n; ++k) {
        for (int i = 0; i < n; ++i) {
            double av = 0.0;
            for (int j = 0; j < n; ++j) av += a(i, j) * e.vectors(j, k);
            EXPECT_NEAR(av, e.values[k] * e.vectors(i, k), 1e-14 * LargestElement(a))
                << "pair " << k;
        }
        for (int l = 0; l < n; ++l) {
            double dot = 0.0;
            for (int i = 0; i < n; ++i) dot += e.vectors(i, k) * e.vectors(i, l);
            EXPECT_NEAR(dot, k == l ? 1.0 : 0.0, 1e-13);
        }
        if (k > 0) {
            EXPECT_LE(e.values[k - 1], e.values[k]);
        }
    }
}

}  // namespace

TEST(SymmetricEigen, DiagonalizesAndOrdersAscending) {
    // The 4x4 with eigenvalues of the second-difference operator 2 - 2 cos(k pi / 5).
    const DenseMatrix a = MatrixOf({{2, -1, 0, 0}, {-1, 2, -1, 0}, {0, -1, 2, -1}, {0, 0, -1, 2}});
    SymmetricEigenSystem e;
    SymmetricEigen(a, e);
    ExpectEigensystemOf(a, e);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_NEAR(e.values[k - 1], 2.0 - 2.0 * std::cos(k * M_PI / 5.0), 1e-14);
    }
}

TEST(SymmetricEigen, ReadsOnlyTheLowerTriangle) {
    DenseMatrix a = MatrixOf({{1e8, 0, 0}, {1, 1e-8, 0}, {0, 0, -3}});
    SymmetricEigenSystem e;
    SymmetricEigen(a, e);
    a(0, 1) = 1.0;  // the symmetric matrix the lower triangle stands for
    ExpectEigensystemOf(a, e);
    EXPECT_DOUBLE_EQ(e.values[0], -3.0);
    // The 2x2 block is singular: one eigenvalue 0 (to the rounding of its largest element).
    EXPECT_NEAR(e.values[1], 0.0, 1e-14 * 1e8);
    EXPECT_NEAR(e.values[2], 1e8 + 1e-8, 1e-6);
}

TEST(SymmetricEigen, InertiaAndLeastNormSolve) {
    const DenseMatrix a = MatrixOf({{2, 0, 0}, {0, -1, 0}, {0, 0, 0}});
    SymmetricEigenSystem e;
    SymmetricEigen(a, e);
    const Inertia in = InertiaOf(e, 1e-12);
    EXPECT_EQ(std::tuple(in.positive, in.negative, in.zero), std::tuple(1, 1, 1));
    std::vector<double> b{4, 3, 7};
    EigenSolve(e, 1e-12, b);  // the singular direction is left out
    EXPECT_NEAR(b[0], 2.0, 1e-15);
    EXPECT_NEAR(b[1], -3.0, 1e-15);
    EXPECT_NEAR(b[2], 0.0, 1e-15);
}
