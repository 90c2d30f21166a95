#pragma once

#include <vector>

#include "core/base/dense_matrix.h"

// Products, norms and factorizations of the small dense matrices of the trust-region and
// path-following methods.

// y := A x: the first Rows() elements of y (grown when shorter); x has A's column count.
void Multiply(const DenseMatrix& a, const std::vector<double>& x, std::vector<double>& y);
// y := A^T x, likewise.
void MultiplyTransposed(const DenseMatrix& a, const std::vector<double>& x, std::vector<double>& y);
// Euclidean norm of the first n elements, without overflow for any finite values.
double Norm2(const std::vector<double>& x, int n);

// Householder QR, A = Q R, without column pivoting (the trust region scales the variables
// instead).
void QrFactorize(const DenseMatrix& a, QrFactors& f);
// b := Q^T b.
void ApplyQTransposed(const QrFactors& f, std::vector<double>& b);
// Solves R x = b in place. A diagonal term of R whose magnitude is at most eps times the
// largest (or exactly zero) stands in as that tiny value, so a singular R still gives a finite
// direction that is dominated by its null space, as the Gauss-Newton step of a singular system
// should be.
void SolveUpperTriangular(const QrFactors& f, std::vector<double>& b);

// LU with partial pivoting, P A = L U. Returns false when a column has no non-zero pivot.
bool LuFactorize(DenseMatrix& a, std::vector<int>& pivots);
// Solves A x = b in place with the factors of LuFactorize.
void LuSolve(const DenseMatrix& lu, const std::vector<int>& pivots, std::vector<double>& b);
