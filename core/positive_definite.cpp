#include "positive_definite.h"

#include <Eigen/Cholesky>
#include <Eigen/Core>
#include <algorithm>
#include <cmath>
#include <vector>

namespace dsf2vemo {

namespace {

using Eigen::Index;

constexpr Index kFailsSomewhere = -1;

// The lower triangle scaled to unit variances, so that the pivot tolerance means the same for
// every scale of measurement.
Eigen::MatrixXd UnitVarianceMatrix(std::span<const double> covariances, Index p) {
    std::vector<double> inverse_sd(static_cast<std::size_t>(p));
    for (Index i = 0; i < p; ++i) {
        inverse_sd[static_cast<std::size_t>(i)] =
            1.0 / std::sqrt(covariances[static_cast<std::size_t>(i * (i + 1) / 2 + i)]);
    }
    Eigen::MatrixXd matrix(p, p);
    std::size_t k = 0;
    for (Index i = 0; i < p; ++i) {
        for (Index j = 0; j <= i; ++j) {
            matrix(i, j) = covariances[k++] * inverse_sd[static_cast<std::size_t>(i)] *
                           inverse_sd[static_cast<std::size_t>(j)];
        }
    }
    return matrix;
}

// For the leading `size` variables: 0 when positive definite, the first variable (from 1) whose
// pivot is too small when the factorisation went through, kFailsSomewhere when it broke off.
// The factor of a leading block is the leading block of the factor, so the pivots of the first
// variables don't depend on how many follow.
Index FailureWithin(const Eigen::MatrixXd& matrix, Index size) {
    const Eigen::LLT<Eigen::MatrixXd> llt(matrix.topLeftCorner(size, size));
    if (llt.info() != Eigen::Success) {
        return kFailsSomewhere;
    }
    const auto diagonal = llt.matrixLLT().diagonal();
    for (Index i = 0; i < size; ++i) {
        if (diagonal(i) * diagonal(i) < kSmallestPivot) {
            return i + 1;
        }
    }
    return 0;
}

}  // namespace

std::size_t FirstVariableNotPositiveDefinite(std::span<const double> covariances,
                                             std::size_t variable_count) {
    const auto p = static_cast<Index>(variable_count);
    const Eigen::MatrixXd matrix = UnitVarianceMatrix(covariances, p);
    Index failure = FailureWithin(matrix, p);
    if (failure != kFailsSomewhere) {
        return static_cast<std::size_t>(failure);
    }
    // The factorisation broke off without saying where: find the smallest failing leading block,
    // doubling first so the search costs about as much as the part before the failure.
    Index passes = 0;
    Index fails = 1;
    while ((failure = FailureWithin(matrix, fails)) == 0) {
        passes = fails;
        fails = std::min(2 * fails, p);
    }
    while (failure == kFailsSomewhere && fails - passes > 1) {
        const Index middle = passes + (fails - passes) / 2;
        failure = FailureWithin(matrix, middle);
        if (failure == 0) {
            passes = middle;
            failure = kFailsSomewhere;
        } else if (failure == kFailsSomewhere) {
            fails = middle;
        }
    }
    return static_cast<std::size_t>(failure == kFailsSomewhere ? fails : failure);
}

}  // namespace dsf2vemo
