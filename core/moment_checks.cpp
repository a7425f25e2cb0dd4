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
        throw ConversionError(
            ErrorKind::Refused,
            "the moment data is incomplete: " + std::to_string(data.VariableCount) +
                " variables, but " + std::to_string(data.VariableNames.size()) + " names, " +
                std::to_string(data.Covariances.size()) + " covariances and " +
                std::to_string(data.Means.size()) + " means");
    }
}

void CheckFiniteMoments(const MomentData& data, std::string_view format_name) {
    CheckMomentArrays(data);
    const std::int64_t p = data.VariableCount;
    const std::string cannot_hold = ", which " + std::string(format_name) + " can't hold";
    std::size_t k = 0;
    for (std::int64_t i = 1; i <= p; ++i) {
        for (std::int64_t j = 1; j <= i; ++j, ++k) {
            if (!std::isfinite(data.Covariances[k])) {
                throw ConversionError(
                    ErrorKind::Refused,
                    "covariance (" + std::to_string(i) + ", " + std::to_string(j) + ") is " +
                        FormatGeneralNumber(data.Covariances[k], ".") + cannot_hold);
            }
        }
    }
    for (std::size_t i = 0; i < data.Means.size(); ++i) {
        if (!std::isfinite(data.Means[i])) {
            throw ConversionError(ErrorKind::Refused, "mean " + std::to_string(i + 1) + " is " +
                                                          FormatGeneralNumber(data.Means[i], ".") +
                                                          cannot_hold);
        }
    }
}

}  // namespace dsf2vemo
