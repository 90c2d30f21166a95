#include "core/numeric/dense_matrix.h"

#include <algorithm>

void DenseMatrix::Reset(int rows, int columns) {
    rows_ = rows;
    columns_ = columns;
    const auto size = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
    if (a_.size() < size) a_.resize(size);
    std::fill(a_.begin(), a_.begin() + static_cast<std::ptrdiff_t>(size), 0.0);
}
