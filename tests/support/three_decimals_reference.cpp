#include "three_decimals_reference.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace dsf2vemo::testing {

namespace {

constexpr std::uint64_t kLimb = 1'000'000'000;

// The decimal digits of m × 2^e for e >= 0: the limbs, least significant first, are doubled
// up to 32 bits at a time, which keeps limb × 2^32 plus a carry within 64 bits.
std::string IntegerDigits(std::uint64_t m, int e) {
    std::vector<std::uint64_t> limbs;
    for (; m != 0; m /= kLimb) {
        limbs.push_back(m % kLimb);
    }
    while (e > 0) {
        const int shift = e < 32 ? e : 32;
        e -= shift;
        std::uint64_t carry = 0;
        for (std::uint64_t& limb : limbs) {
            const std::uint64_t product = (limb << shift) + carry;
            limb = product % kLimb;
            carry = product / kLimb;
        }
        for (; carry != 0; carry /= kLimb) {
            limbs.push_back(carry % kLimb);
        }
    }
    std::string digits = std::to_string(limbs.back());
    for (auto limb = limbs.rbegin() + 1; limb != limbs.rend(); ++limb) {
        const std::string part = std::to_string(*limb);
        digits.append(9 - part.size(), '0').append(part);
    }
    return digits;
}

}  // namespace

std::string ReferenceThreeDecimals(double value, std::string_view decimal_separator) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Inf" : "Inf";
    }
    // |value| = m × 2^e exactly, with m an integer below 2^53 (subnormals included).
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int e = exponent - 53;

    std::string whole;
    std::uint64_t thousandths = 0;
    if (e >= 0) {
        whole = IntegerDigits(m, e);
    } else if (e > -64) {
        // m × 1000 < 2^63: the thousandths and the bits below them fit one word.
        const std::uint64_t scaled = m * 1000;
        const int k = -e;
        const std::uint64_t below = scaled & ((std::uint64_t{1} << k) - 1);
        const std::uint64_t half = std::uint64_t{1} << (k - 1);
        std::uint64_t rounded = scaled >> k;
        if (below > half || (below == half && rounded % 2 == 1)) {
            ++rounded;
        }
        if (rounded >= 1000) {
            whole = std::to_string(rounded / 1000);
        }
        thousandths = rounded % 1000;
        if (rounded == 0) {
            value = 0;  // a value that rounds to zero shows no sign
        }
    } else {
        value = 0;  // below 2^-11, and m × 1000 / 2^64 is less than a half
    }

    std::string text = value < 0 ? "-" : "";
    text += whole;
    text += decimal_separator;
    const std::string decimals = std::to_string(thousandths);
    text.append(3 - decimals.size(), '0').append(decimals);
    return text;
}

}  // namespace dsf2vemo::testing
