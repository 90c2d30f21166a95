#pragma once

#include <vector>

#include "core/numeric/dense_matrix.h"

// Eigenvalues and eigenvectors of the small dense symmetric matrices of the minimization
// methods (a Hessian, a KKT matrix). The mathematics and the stopping rule are described in
// symmetric_eigen.cpp.

// A = V diag(values) V^T for a symmetric A (only its lower triangle is read): values in
// ascending order, column k of vectors the unit eigenvector of values[k].
struct SymmetricEigenSystem {
    std::vector<double> values;
    DenseMatrix vectors;
};
void SymmetricEigen(const DenseMatrix& a, SymmetricEigenSystem& e);

// Counts of the eigenvalues above tolerance, below -tolerance and in between.
struct Inertia {
    int positive = 0;
    int negative = 0;
    int zero = 0;
};
Inertia InertiaOf(const SymmetricEigenSystem& e, double tolerance);

// x := A^+ b through the eigensystem, eigenvalues of magnitude at most tolerance left out (the
// least-norm solution where A is singular).
void EigenSolve(const SymmetricEigenSystem& e, double tolerance, std::vector<double>& b);

// The largest magnitude of the elements of a square matrix.
double LargestElement(const DenseMatrix& a);
