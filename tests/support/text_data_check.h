#pragma once

#include <string>
#include <string_view>

#include "moment_data.h"
#include "separators.h"

namespace dsf2vemo::testing {

// Reads `text` back with the independent parser and compares it with `expected`: names and case
// counts identical, every covariance and mean equal to the stored double rounded to 15
// significant digits, both digit by digit and as a parsed double. Returns what differs first,
// or an empty string when the text holds exactly `expected`.
std::string CompareTextData(const MomentData& expected, std::string_view text,
                            const Separators& separators);

}  // namespace dsf2vemo::testing
