#pragma once

#include <string_view>

#include "moment_data.h"

namespace dsf2vemo {

// Refuses (ConversionError, Refused) moment data whose arrays don't match their variable count:
// what no writer can write.
void CheckMomentArrays(const MomentData& data);

// Refuses, besides, the first covariance or mean, in file order, that is NaN or infinite, for
// formats that have no words for them: "covariance (3, 2) is NaN, which JSON can't hold".
void CheckFiniteMoments(const MomentData& data, std::string_view format_name);

}  // namespace dsf2vemo
