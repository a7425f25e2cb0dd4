#include "exact_decimals.h"

#include <array>
#include <cstring>

#include "wide_product.h"

namespace dsf2vemo {

namespace {

std::uint64_t BitsOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The power of two that begins the value's binade: a positive normal double lies in
// [2^binade, 2^(binade + 1)). Zero and subnormals give -1023.
int BinadeOf(std::uint64_t bits) {
    return static_cast<int>(bits >> 52) - 1023;
}

// The 53-bit integer m of a normal double m × 2^(binade − 52).
std::uint64_t SignificandOf(std::uint64_t bits) {
    return (bits & 0xFFFFFFFFFFFFFu) | (std::uint64_t{1} << 52);
}

// A wide number shifted right by 1 to 63 bits: what stays, and what was shifted out against half
// of one unit of what stays.
struct Shifted {
    std::uint64_t kept = 0;
    std::uint64_t dropped = 0;
    std::uint64_t half = 0;
};

Shifted ShiftRight(WideProduct value, int shift) {
    return {(value.high << (64 - shift)) | (value.low >> shift),
            value.low & ((std::uint64_t{1} << shift) - 1), std::uint64_t{1} << (shift - 1)};
}

// Round to nearest, an exact tie to the even neighbour.
bool RoundsUp(const Shifted& value) {
    return value.dropped > value.half || (value.dropped == value.half && (value.kept & 1) != 0);
}

constexpr std::uint64_t kTenTo14 = 100'000'000'000'000;
constexpr std::uint64_t kTenTo15 = 10 * kTenTo14;

// floor(binade × log10(2)), from a binary approximation of log10(2): exact for the binades in
// range, as checked below.
constexpr int DecimalEstimate(int binade) {
    return (binade * 78913) >> 18;
}

// The values whose binade gives an estimate in this range take the exact road. Above, the power
// of ten to scale by would be negative; below, the bits shifted out would reach past one word.
constexpr int kLowestEstimate = -11;
constexpr int kHighestEstimate = 14;

// A value of binade b scaled by 10^(14 − estimate) is m × 5^(14 − estimate) shifted right by
// this many bits.
constexpr int ShiftOf(int binade) {
    return 38 - binade + DecimalEstimate(binade);
}

constexpr std::uint64_t PowerOf(std::uint64_t base, int exponent) {
    std::uint64_t power = 1;
    for (int i = 0; i < exponent; ++i) {
        power *= base;
    }
    return power;
}

// 5^0 to 5^(14 − kLowestEstimate), the scales the estimates in range need.
constexpr std::array<std::uint64_t, 14 - kLowestEstimate + 1> kPowersOf5 = [] {
    std::array<std::uint64_t, 14 - kLowestEstimate + 1> powers{};
    for (std::size_t i = 0; i < powers.size(); ++i) {
        powers[i] = PowerOf(5, static_cast<int>(i));
    }
    return powers;
}();

// What the arithmetic rests on, for every binade in range: the estimate is the decimal exponent
// of 2^binade, so the scaled value lies in [10^14, 10^16); and the shift stays inside one word.
constexpr bool EstimateIsExact(int binade) {
    const int estimate = DecimalEstimate(binade);
    if (binade >= 0) {
        const std::uint64_t power_of_2 = std::uint64_t{1} << binade;
        return PowerOf(10, estimate) <= power_of_2 && power_of_2 < PowerOf(10, estimate + 1);
    }
    const std::uint64_t reciprocal = std::uint64_t{1} << -binade;
    return reciprocal <= PowerOf(10, -estimate) && PowerOf(10, -estimate - 1) < reciprocal;
}
constexpr bool ArithmeticHoldsInRange() {
    for (int binade = -1022; binade <= 1023; ++binade) {
        const int estimate = DecimalEstimate(binade);
        if (estimate < kLowestEstimate || estimate > kHighestEstimate) {
            continue;
        }
        if (!EstimateIsExact(binade) || ShiftOf(binade) < 1 || ShiftOf(binade) > 63) {
            return false;
        }
    }
    return true;
}
static_assert(ArithmeticHoldsInRange());
// 5^27 is the largest power of five a 64-bit word holds.
static_assert(14 - kLowestEstimate <= 27);

}  // namespace

std::optional<std::uint64_t> ExactThousandths(double magnitude) {
    const std::uint64_t bits = BitsOf(magnitude);
    const int binade = BinadeOf(bits);
    if (binade < -11) {
        // Below 2^-11 < 0.0005.
        return 0;
    }
    if (binade > 51) {
        return std::nullopt;
    }
    // m × 1000 < 2^63, and the value is m × 2^(binade − 52): shifted right by 1 to 63.
    const Shifted thousandths = ShiftRight({0, SignificandOf(bits) * 1000}, 52 - binade);
    return thousandths.kept + (RoundsUp(thousandths) ? 1 : 0);
}

std::optional<FifteenDigits> ExactFifteenDigits(double magnitude) {
    const std::uint64_t bits = BitsOf(magnitude);
    const int binade = BinadeOf(bits);
    const int estimate = DecimalEstimate(binade);
    if (estimate < kLowestEstimate || estimate > kHighestEstimate) {
        return std::nullopt;
    }
    // The value times 10^(14 − estimate), in [10^14, 10^16): 15 or 16 digits before the point.
    const Shifted scaled = ShiftRight(
        Multiply(SignificandOf(bits), kPowersOf5[static_cast<std::size_t>(14 - estimate)]),
        ShiftOf(binade));
    FifteenDigits rounded{scaled.kept, estimate};
    bool up = false;
    if (scaled.kept >= kTenTo15) {
        // One digit too many: that digit and the bits below it decide.
        // Below 10^16 < 2^54.
        const std::uint64_t tens = DivideBy<10, 54>(scaled.kept);
        const std::uint64_t last = scaled.kept - 10 * tens;
        rounded = {tens, estimate + 1};
        up = last > 5 || (last == 5 && (scaled.dropped != 0 || (rounded.digits & 1) != 0));
    } else {
        up = RoundsUp(scaled);
    }
    if (up && ++rounded.digits == kTenTo15) {
        rounded = {kTenTo14, rounded.exponent + 1};
    }
    return rounded;
}

}  // namespace dsf2vemo
