#pragma once

#include <cstdint>
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

}  // namespace dsf2vemo
