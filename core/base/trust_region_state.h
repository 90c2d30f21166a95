#pragma once

#include <vector>

#include "core/numeric/dense_matrix.h"

// What the trust-region method keeps between the iterations of one solve, and its work space.
// Groups and positions are numbered as in SolveState.
struct TrustRegionState {
    std::vector<double> radius;  // group -> step bound in the scaled norm; 0 = not started
    std::vector<int> successes;  // group -> consecutive steps with a good model ratio
    std::vector<double> scale;   // position -> 1 / typical size of its variable

    DenseMatrix jacobian;          // the group's Jacobian, row i = position first + i
    QrFactors factors;             // of that Jacobian
    std::vector<double> residual;  // F of the group at the step's start
    std::vector<double> qtf;       // Q^T F
    std::vector<double> newton;    // Gauss-Newton step, J p = -F
    std::vector<double> gradient;  // scaled gradient D^-1 J^T F
    std::vector<double> step;      // the step tried
    std::vector<double> work;      // products with J, trial residuals
    std::vector<double> scaled;    // D p
    std::vector<double> start;     // the group's values at the step's start
};
