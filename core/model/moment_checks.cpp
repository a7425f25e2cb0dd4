#include "moment_checks.h"

#include <cmath>
#include <string>

#include "conversion_error.h"
#include "number_format.h"

namespace dsf2vemo {

void CheckMomentArrays(const MomentData& data) {
    const std::int64_t p = data.VariableCount > 0 ? data.VariableCount : 0;
    if (data.VariableNames.size() != static_cast<std::size_t>(p) ||
        data.Means.size() != static_cast<std::size_t>(p) ||
        data.Covariances.size() != static_cast<std::size_t>(CovarianceCount(p))) {
        Refuse("the moment data is incomplete: " + std::to_string(data.VariableCount) +
               " variables, but " + std::to_string(data.VariableNames.size()) + " names, " +
               std::to_string(data.Covariances.size()) + " covariances and " +
               std::to_string(data.Means.size()) + " means");
    }
}

void CheckFiniteMoments(const MomentData& data, std::string_view format_name) {
    CheckMomentArrays(data);
    const std::string cannot_hold = ", which " + std::string(format_name) + " can't hold";
    for (std::size_t i = 0; i < data.VariableNames.size(); ++i) {
        const std::span<const double> row = CovarianceRow(data.Covariances, i);
        for (std::size_t j = 0; j < row.size(); ++j) {
            if (!std::isfinite(row[j])) {
                Refuse("covariance (" + std::to_string(i + 1) + ", " + std::to_string(j + 1) +
                       ") is " + FormatGeneralNumber(row[j], ".") + cannot_hold);
            }
        }
    }
    for (std::size_t i = 0; i < data.Means.size(); ++i) {
        if (!std::isfinite(data.Means[i])) {
            Refuse("mean " + std::to_string(i + 1) + " is " +
                   FormatGeneralNumber(data.Means[i], ".") + cannot_hold);
        }
    }
}

}  // namespace dsf2vemo
