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

// The matrix of the leading variables, scaled to unit variances so that the pivot tolerance
// means the same for every scale of measurement, factorised in place: the memory of one dense
// matrix is all the test takes. The factor of a leading block is the leading block of the factor,
// so each block is refilled and factorised afresh as the search needs it.
class LeadingBlocks {
  public:
    LeadingBlocks(std::span<const double> covariances, Index p)
        : covariances_(covariances), inverse_sd_(static_cast<std::size_t>(p)), matrix_(p, p) {
        for (Index i = 0; i < p; ++i) {
            inverse_sd_[static_cast<std::size_t>(i)] =
                1.0 / std::sqrt(covariances[static_cast<std::size_t>(i * (i + 1) / 2 + i)]);
        }
    }

    // For the leading `size` variables: 0 when positive definite, the first variable (from 1)
    // whose pivot is too small when the factorisation went through, kFailsSomewhere when it
    // broke off.
    Index FailureWithin(Index size) {
        std::size_t k = 0;
        for (Index i = 0; i < size; ++i) {
            for (Index j = 0; j <= i; ++j) {
                matrix_(i, j) = covariances_[k++] * inverse_sd_[static_cast<std::size_t>(i)] *
                                inverse_sd_[static_cast<std::size_t>(j)];
            }
        }
        Eigen::Ref<Eigen::MatrixXd> block = matrix_.topLeftCorner(size, size);
        const Eigen::LLT<Eigen::Ref<Eigen::MatrixXd>> llt(block);
        if (llt.info() != Eigen::Success) {
            return kFailsSomewhere;
        }
        // Written so that a NaN pivot fails too: a variance of zero or below, had it reached
        // this test, makes its row NaN, and NaN passes the factorisation unremarked.
        for (Index i = 0; i < size; ++i) {
            if (!(matrix_(i, i) * matrix_(i, i) >= kSmallestPivot)) {
                return i + 1;
            }
        }
        return 0;
    }

  private:
    std::span<const double> covariances_;
    std::vector<double> inverse_sd_;
    Eigen::MatrixXd matrix_;
};

}  // namespace

std::size_t FirstVariableNotPositiveDefinite(std::span<const double> covariances,
                                             std::size_t variable_count) {
    const auto p = static_cast<Index>(variable_count);
    LeadingBlocks blocks(covariances, p);
    Index failure = blocks.FailureWithin(p);
    if (failure != kFailsSomewhere) {
        return static_cast<std::size_t>(failure);
    }
    // The factorisation broke off without saying where: find the smallest failing leading block,
    // doubling first so the search costs about as much as the part before the failure.
    Index passes = 0;
    Index fails = 1;
    while ((failure = blocks.FailureWithin(fails)) == 0) {
        passes = fails;
        fails = std::min(2 * fails, p);
    }
    while (failure == kFailsSomewhere && fails - passes > 1) {
        const Index middle = passes + (fails - passes) / 2;
        failure = blocks.FailureWithin(middle);
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
