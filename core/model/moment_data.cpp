#include <cmath>

#include "moment_data.h"

namespace dsf2vemo {

CovarianceCell CovarianceCellAt(std::size_t index) {
    // The square root gives the row up to rounding; the two loops settle it exactly.
    auto row = static_cast<std::size_t>((std::sqrt(8.0 * static_cast<double>(index) + 1) - 1) / 2);
    while (CovarianceIndex(row, 0) > index) {
        --row;
    }
    while (CovarianceIndex(row + 1, 0) <= index) {
        ++row;
    }
    return {row, index - CovarianceIndex(row, 0)};
}

}  // namespace dsf2vemo
