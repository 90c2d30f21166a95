#pragma once

#include <cstddef>
#include <vector>

// A dense matrix. The trust-region and path-following methods work on one group (or the whole
// homotopy system) at a time, where dense storage and O(n^3) factorizations cost less than
// evaluating the Jacobian terms; a least-squares fit holds its Jacobian of one row per
// observation and one column per parameter.
// Indices are 0-based; the solver maps positions of the pivot order onto them. The products
// and factorizations are in core/numeric/dense_linear.h.
class DenseMatrix {
   public:
    // Sets the shape and zeroes every element, keeping the storage when it is large enough.
    void Reset(int rows, int columns);
    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    double& operator()(int r, int c) { return a_[static_cast<std::size_t>(r) * columns_ + c]; }
    double operator()(int r, int c) const { return a_[static_cast<std::size_t>(r) * columns_ + c]; }

   private:
    int rows_ = 0;
    int columns_ = 0;
    std::vector<double> a_;  // row by row
};

// Householder QR factors, A = Q R (or A P = Q R with column pivoting). Reflector k, one per
// column of a matrix with at least as many rows as columns, is I - tau_k v v^T with v_k = 1
// and v_i (i > k) kept below the diagonal of qr; R lies on and above it.
struct QrFactors {
    DenseMatrix qr;           // R and the reflectors
    std::vector<double> tau;  // reflector factors
};
