#pragma once

#include <string>
#include <string_view>

namespace dsf2vemo::testing {

// The pane's three-decimal form of `value` (".300", "-1234.500", "NaN", "-Inf"), worked out
// apart from the product code: the value's exact binary integer and power of two, long
// multiplication in base 10^9 for the integers beyond 2^53, exact ties to even. Slow but plain,
// it is what the echo fuzzer holds the pane against.
std::string ReferenceThreeDecimals(double value, std::string_view decimal_separator);

}  // namespace dsf2vemo::testing
