#pragma once

#include <vector>

#include "core/numeric/dense_matrix.h"

// The trust-region subproblem of one Levenberg-Marquardt step, solved in the factors of the
// Jacobian. J (m x n) is factored with column pivoting, J P = Q R (QrFactorizePivoted: R is the
// upper triangle of the first n rows of the factored matrix), D is the diagonal scaling of the
// parameters (d_j > 0, by original column) and qtf holds the first n elements of Q^T f.

// Working storage of the subproblem, kept between steps so that a step allocates nothing.
struct LmWorkspace {
    DenseMatrix s;               // S, the triangle of [R; P^T E P] (upper, n x n)
    std::vector<double> sdiag;   // S's diagonal
    std::vector<double> row;     // the row of E being rotated into S
    std::vector<double> z;       // right-hand side, then the solution in pivoted order
    std::vector<double> scaled;  // D x
    std::vector<double> q;       // the direction of Newton's correction, and bounds' vectors
    std::vector<double> e;       // sqrt(lambda) D
};

// Solves the regularized least-squares problem
//     min || [J; E] x - [f; 0] ||     with E = diag(e) (e_j >= 0, by original column),
// that is (J^T J + E^2) x = J^T f, without forming J^T J: the rows of P^T E P are rotated one by
// one into R by Givens rotations, which gives the upper triangle S with S^T S = P^T (J^T J + E^2)
// P, then S z = (the rotated qtf) is solved by back substitution and x = P z. When S is singular (a
// zero diagonal term, possible only where e_j = 0), the terms of z from the first zero on are set
// to 0, which is the least-squares solution of the leading part. S stays in w for the parameter
// search.
void SolveRegularized(const DenseMatrix& r, const std::vector<int>& permutation,
                      const std::vector<double>& e, const std::vector<double>& qtf,
                      std::vector<double>& x, LmWorkspace& w);

// The Levenberg-Marquardt parameter lambda >= 0 for the trust region ||D x|| <= delta, after
// Moré (1978). With x(lambda) the solution of (J^T J + lambda D^2) x = J^T f and
//     phi(lambda) = ||D x(lambda)|| - delta,
// phi falls from phi(0) towards -delta as lambda grows. The result is
//   - lambda = 0 when phi(0) <= 0.1 delta: the Gauss-Newton step lies in the region;
//   - otherwise a lambda with |phi(lambda)| <= 0.1 delta, found by Newton's method on the
//     nearly linear function 1/||D x(lambda)|| - 1/delta, whose correction is
//         lambda+ = lambda + (phi / delta) / ||q||^2,   q = S^-T P^T D (D x) / ||D x||,
//     safeguarded by the bracket [l, u] that holds the root: the lower end from the Newton
//     step at 0, (phi(0) / delta) / ||R^-T P^T D (D x(0)) / ||D x(0)|| ||^2 when J has full
//     rank (else 0), the upper end ||D^-1 J^T f|| / delta; each iterate narrows it.
// The search also ends when the lower end is 0 and phi, negative, stops rising (lambda cannot
// usefully get smaller), and after 10 iterations. lambda0 is the last step's parameter, the
// starting guess. x receives x(lambda): the step is -x.
double LmParameter(const DenseMatrix& r, const std::vector<int>& permutation,
                   const std::vector<double>& d, const std::vector<double>& qtf, double delta,
                   double lambda0, std::vector<double>& x, LmWorkspace& w);
