#pragma once

#include <cstdint>

namespace dsf2vemo {

// The 128-bit product of two 64-bit integers, as its two 64-bit halves.
struct WideProduct {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
};

// From four 32 x 32-bit products, for compilers and targets without a 128-bit type, or where it
// is emulated more slowly than this.
constexpr WideProduct MultiplyByHalves(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t a_low = a & 0xFFFFFFFFu;
    const std::uint64_t a_high = a >> 32;
    const std::uint64_t b_low = b & 0xFFFFFFFFu;
    const std::uint64_t b_high = b >> 32;
    const std::uint64_t low_low = a_low * b_low;
    const std::uint64_t low_high = a_low * b_high;
    const std::uint64_t high_low = a_high * b_low;
    // The middle column: at most three 32-bit numbers, so it cannot overflow.
    const std::uint64_t middle =
        (low_low >> 32) + (low_high & 0xFFFFFFFFu) + (high_low & 0xFFFFFFFFu);
    return {a_high * b_high + (low_high >> 32) + (high_low >> 32) + (middle >> 32),
            (middle << 32) | (low_low & 0xFFFFFFFFu)};
}

#if defined(__SIZEOF_INT128__)
__extension__ typedef unsigned __int128 UnsignedInt128;

constexpr WideProduct MultiplyByInt128(std::uint64_t a, std::uint64_t b) {
    const UnsignedInt128 product = static_cast<UnsignedInt128>(a) * b;
    return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
}
#endif

// The faster of the two where the target has both: in WebAssembly, whose 128-bit products are
// emulated, the halves (measured by bench/number_paths_bench.sh).
constexpr WideProduct Multiply(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__) && !defined(__wasm__)
    return MultiplyByInt128(a, b);
#else
    return MultiplyByHalves(a, b);
#endif
}

// ceil(2^shift / divisor), worked out bit by bit so that no type wider than 64 bits is needed.
constexpr std::uint64_t RoundedUpReciprocal(std::uint64_t divisor, int shift) {
    std::uint64_t quotient = 0;
    std::uint64_t remainder = 1 % divisor;
    for (int i = 0; i < shift; ++i) {
        quotient = 2 * quotient + (2 * remainder >= divisor ? 1 : 0);
        remainder = 2 * remainder >= divisor ? 2 * remainder - divisor : 2 * remainder;
    }
    return quotient + (remainder != 0 ? 1 : 0);
}

constexpr int BitWidth(std::uint64_t value) {
    int width = 0;
    for (; value != 0; value >>= 1) {
        ++width;
    }
    return width;
}

// floor(x / Divisor) for every x below 2^Bits, by a product with the reciprocal rounded up,
// which is exact there when 2^shift is at least 2^Bits x Divisor. WebAssembly has no
// multiply-high that a compiler could turn a division by a constant into, and divides for real.
template <std::uint64_t Divisor, int Bits>
constexpr std::uint64_t DivideBy(std::uint64_t x) {
    // Above 62 bits the reciprocal would not fit in one word.
    static_assert(Divisor > 1 && Bits >= 1 && Bits <= 62);
    constexpr int kShift = Bits + BitWidth(Divisor - 1);
    constexpr std::uint64_t kReciprocal = RoundedUpReciprocal(Divisor, kShift);
    if constexpr (Bits + BitWidth(kReciprocal) <= 64) {
        return x * kReciprocal >> kShift;
    } else {
        const WideProduct product = Multiply(x, kReciprocal);
        if constexpr (kShift >= 64) {
            return product.high >> (kShift - 64);
        } else {
            return product.high << (64 - kShift) | product.low >> kShift;
        }
    }
}

}  // namespace dsf2vemo
