#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dsf2vemo {

// The sample moments of one data system file. Names are raw single-byte text in the file's code
// page. Covariances hold the lower triangle row by row, diagonal included: element (i, j),
// 1 <= j <= i <= p, stands at index i(i-1)/2 + j - 1.
struct MomentData {
    std::int32_t CaseCount = 0;
    std::int32_t VariableCount = 0;
    std::vector<std::string> VariableNames;
    std::vector<double> Covariances;
    std::vector<double> Means;

    friend bool operator==(const MomentData&, const MomentData&) = default;
};

// p(p+1)/2 for the supported range of p.
constexpr std::int64_t CovarianceCount(std::int64_t variable_count) {
    return variable_count * (variable_count + 1) / 2;
}

// The lower triangle, row i and column j counted from 0 (j <= i), and its index in Covariances.
struct CovarianceCell {
    std::size_t row;
    std::size_t column;
};

constexpr std::size_t CovarianceIndex(std::size_t row, std::size_t column) {
    return row * (row + 1) / 2 + column;
}

// The cell at an index of Covariances.
CovarianceCell CovarianceCellAt(std::size_t index);

// Row i of the lower triangle, counted from 0: its i + 1 values, (i, 0) to (i, i). Writers walk
// the triangle row by row with it rather than with an index of their own.
inline std::span<const double> CovarianceRow(std::span<const double> covariances, std::size_t row) {
    return covariances.subspan(CovarianceIndex(row, 0), row + 1);
}

}  // namespace dsf2vemo
