#pragma once

#include <cstdint>
#include <optional>

// The two fixed layouts of numbers, rounded from the exact binary value by integer arithmetic
// alone: a double is m × 2^e with a 53-bit integer m, so m times a power of ten fits in one or
// two 64-bit words, and the bits shifted out decide the rounding, exact ties to even. Where the
// words can't hold it, std::nullopt, and the caller takes the slower road.

namespace dsf2vemo {

// `magnitude` (positive or zero, finite) in thousandths, rounded to the nearest: every value
// below 2^52. Below 2^-11, which rounds to zero, it is 0.
std::optional<std::uint64_t> ExactThousandths(double magnitude);

// `digits` × 10^(`exponent` − 14): a positive value rounded to 15 significant digits, with
// 10^14 <= `digits` < 10^15.
struct FifteenDigits {
    std::uint64_t digits = 0;
    int exponent = 0;
};

// From 2^-36 (about 1.5E-11) up to 2^50 (about 1.1E+15); the exact value rounded.
std::optional<FifteenDigits> ExactFifteenDigits(double magnitude);

}  // namespace dsf2vemo
