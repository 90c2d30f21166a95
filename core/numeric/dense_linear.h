#pragma once

#include <vector>

#include "core/numeric/dense_matrix.h"

// Products, norms and factorizations of the dense matrices of the trust-region and
// path-following methods and of least-squares fits.

// y := A x: the first Rows() elements of y (grown when shorter); x has A's column count.
void Multiply(const DenseMatrix& a, const std::vector<double>& x, std::vector<double>& y);
// y := A^T x, likewise.
void MultiplyTransposed(const DenseMatrix& a, const std::vector<double>& x, std::vector<double>& y);
// Euclidean norm of the first n elements, without overflow for any finite values.
double Norm2(const std::vector<double>& x, int n);

// Householder QR, A = Q R, without column pivoting (the trust region scales the variables
// instead).
void QrFactorize(const DenseMatrix& a, QrFactors& f);
// Householder QR with column pivoting of the m x n matrix the caller put in f.qr, A P = Q R,
// factored in place: at step k the column with the largest norm below row k - 1 comes to
// position k, so the magnitudes on R's diagonal do not increase, and columns that depend on
// the others show as (nearly) zero terms at its end. permutation[k] is the column of A at
// position k. A least-squares Jacobian is factored so (many rows, few columns).
void QrFactorizePivoted(QrFactors& f, std::vector<int>& permutation);
// The rank of a pivoted factorization: the number of R's leading diagonal terms that are not
// negligible beside the first (at most eps max(m, n) |r_00|); the columns after them depend on
// those before to the precision of the arithmetic.
int QrRank(const QrFactors& f);
// b := Q^T b (b has A's row count).
void ApplyQTransposed(const QrFactors& f, std::vector<double>& b);
// Solves R x = b in place (the first columns-many elements of b). A diagonal term of R whose
// magnitude is at most eps times the largest (or exactly zero) stands in as that tiny value, so a
// singular R still gives a finite direction that is dominated by its null space, as the
// Gauss-Newton step of a singular system should be.
void SolveUpperTriangular(const QrFactors& f, std::vector<double>& b);

// LU with partial pivoting, P A = L U. Returns false when a column has no non-zero pivot.
bool LuFactorize(DenseMatrix& a, std::vector<int>& pivots);
// Solves A x = b in place with the factors of LuFactorize.
void LuSolve(const DenseMatrix& lu, const std::vector<int>& pivots, std::vector<double>& b);
