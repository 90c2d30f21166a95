#pragma once

#include <vector>

#include "core/numeric/dense_matrix.h"

// A dense matrix written row by row.
inline DenseMatrix MatrixOf(const std::vector<std::vector<double>>& rows) {
    DenseMatrix a;
    a.Reset(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
    for (int r = 0; r < a.Rows(); ++r) {
        for (int c = 0; c < a.Columns(); ++c) a(r, c) = rows[r][c];
    }
    return a;
}
