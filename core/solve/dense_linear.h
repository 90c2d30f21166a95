#pragma once

#include <vector>

// Small dense matrices for the trust-region and path-following methods, which work on one
// group (or the whole homotopy system) at a time: at most the size of an equation set plus one,
// so dense storage and O(n^3) factorizations cost less than evaluating the Jacobian terms.
// Indices are 0-based here; the callers map positions of the pivot order onto them.
class DenseMatrix {
   public:
    // Sets the shape and zeroes every element, keeping the storage when it is large enough.
    void Reset(int rows, int columns);
    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    double& operator()(int r, int c) { return a_[static_cast<std::size_t>(r * columns_ + c)]; }
    double operator()(int r, int c) const { return a_[static_cast<std::size_t>(r * columns_ + c)]; }

   private:
    int rows_ = 0;
    int columns_ = 0;
    std::vector<double> a_;  // row by row
};

// y := A x: the first Rows() elements of y (grown when shorter); x has A's column count.
void Multiply(const DenseMatrix& a, const std::vector<double>& x, std::vector<double>& y);
// y := A^T x, likewise.
void MultiplyTransposed(const DenseMatrix& a, const std::vector<double>& x, std::vector<double>& y);
// Euclidean norm of the first n elements, without overflow for any finite values.
double Norm2(const std::vector<double>& x, int n);

// Householder QR of a square matrix, A = Q R. Reflector k is I - tau_k v v^T with v_k = 1 and
// v_i (i > k) kept below the diagonal of qr; R lies on and above it. Column pivoting is not
// used: the trust region scales the columns instead, as Powell's hybrid method does.
struct QrFactors {
    DenseMatrix qr;           // R and the reflectors
    std::vector<double> tau;  // reflector factors
};
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
