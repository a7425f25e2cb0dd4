#pragma once

#include <cstddef>
#include <span>

namespace dsf2vemo {

// The pivots of the Cholesky factorisation below this count as zero. It is taken of the matrix
// scaled to unit variances, where pivot k is the share of variable k's variance that the
// variables before it leave unexplained (1 - R^2).
inline constexpr double kSmallestPivot = 1e-10;

// The first variable k (counted from 1) at which the matrix of variables 1 … k is not positive
// definite, or 0 when the whole matrix is. `covariances` is the lower triangle, row by row, of a
// `variable_count` square matrix. A matrix with a variance that is not positive or a value that is
// NaN never passes, whatever checks ran before this one. Throws std::bad_alloc when the dense
// matrix doesn't fit in memory.
std::size_t FirstVariableNotPositiveDefinite(std::span<const double> covariances,
                                             std::size_t variable_count);

}  // namespace dsf2vemo
