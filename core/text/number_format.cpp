#include "number_format.h"

#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>

#include "exact_decimals.h"

// {fmt} formats every double here, in every build: not every standard library has
// floating-point std::to_chars, and the bytes must not depend on which one a build has. The
// layouts are this program's own, built from {fmt}'s digits.

namespace dsf2vemo {

namespace {

// Returns true when it wrote a name for a non-finite value.
bool AppendNonFinite(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
        return true;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-Inf" : "Inf";
        return true;
    }
    return false;
}

// A compiled format into a buffer large enough for any double in it.
template <std::size_t N, class Format, class... Args>
std::string_view FormatInto(std::array<char, N>& buffer, const Format& format,
                            const Args&... args) {
    const char* end = fmt::format_to(buffer.data(), format, args...);
    return {buffer.data(), static_cast<std::size_t>(end - buffer.data())};
}

// Decimal digits d1 d2 … dn and the exponent of d1.d2…dn × 10^exponent, with no trailing zeros
// (but for a zero value, one digit 0).
struct Significand {
    std::array<char, 24> digits{};
    int count = 0;
    int exponent = 0;
};

// The significand of `digits` × 10^`exponent`.
Significand SignificandOf(std::uint64_t digits, int exponent) {
    Significand s;
    const char* end = std::to_chars(s.digits.data(), s.digits.data() + s.digits.size(), digits).ptr;
    s.count = static_cast<int>(end - s.digits.data());
    s.exponent = exponent + s.count - 1;
    while (s.count > 1 && s.digits[static_cast<std::size_t>(s.count - 1)] == '0') {
        --s.count;
    }
    return s;
}

// The shortest digits that read back as the same positive double: {fmt}'s Dragonbox, what its
// "{}" writes, taken before {fmt} lays them out (at other switches to the exponent form than
// those wanted here).
fmt::detail::dragonbox::decimal_fp<double> ShortestDecimal(double magnitude) {
    return fmt::detail::dragonbox::to_decimal(magnitude);
}

Significand ShortestSignificand(double magnitude) {
    if (magnitude == 0) {
        return SignificandOf(0, 0);
    }
    const auto decimal = ShortestDecimal(magnitude);
    return SignificandOf(decimal.significand, decimal.exponent);
}

// The digits of {fmt}'s "d.dddddddddddddde+XX", the exact binary value correctly rounded.
Significand FifteenDigitsExactly(double magnitude) {
    std::array<char, 32> buffer{};
    const std::string_view text = FormatInto(buffer, FMT_COMPILE("{:.14e}"), magnitude);
    std::uint64_t digits = static_cast<std::uint64_t>(text[0] - '0');
    for (const char c : text.substr(2, 14)) {
        digits = 10 * digits + static_cast<std::uint64_t>(c - '0');
    }
    int exponent = 0;
    for (const char c : text.substr(18)) {
        exponent = 10 * exponent + (c - '0');
    }
    return SignificandOf(digits, (text[17] == '-' ? -exponent : exponent) - 14);
}

// 10^0 to 10^19, every power of ten a 64-bit unsigned integer holds.
constexpr std::array<std::uint64_t, 20> kPowersOf10 = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

std::uint64_t PowerOf10(int exponent) {
    return kPowersOf10[static_cast<std::size_t>(exponent)];
}

int DigitCount(std::uint64_t value) {
    int count = 1;
    while (count < 20 && value >= kPowersOf10[static_cast<std::size_t>(count)]) {
        ++count;
    }
    return count;
}

// The shortest digits of a normal double rounded to a multiple of 10^`position`, in units of it,
// the way its exact value rounds. They are the nearest of their length to the value, so any half
// unit between them and the value, which has no more digits than they have, would be nearer:
// there is none, unless they are that half themselves. Then, std::nullopt: only the exact value
// can decide. Where they end above `position`, the caller has made sure that the value is within
// half a unit of them.
std::optional<std::uint64_t> RoundedShortest(fmt::detail::dragonbox::decimal_fp<double> shortest,
                                             int position) {
    if (shortest.exponent >= position) {
        return shortest.significand * PowerOf10(shortest.exponent - position);
    }
    const std::uint64_t unit = PowerOf10(position - shortest.exponent);
    const std::uint64_t dropped = shortest.significand % unit;
    if (2 * dropped == unit) {
        return std::nullopt;
    }
    return shortest.significand / unit + (2 * dropped > unit ? 1 : 0);
}

// A positive finite value rounded to 15 significant digits: by integer arithmetic where it can;
// else, for a normal double, from its shortest digits (within half a step between doubles of
// it, less than half a unit of a 15th digit); otherwise by {fmt} from the exact value, which
// takes longer.
Significand RoundTo15Digits(double magnitude) {
    if (const std::optional<FifteenDigits> exact = ExactFifteenDigits(magnitude)) {
        return SignificandOf(exact->digits, exact->exponent - 14);
    }
    if (magnitude < std::numeric_limits<double>::min()) {
        return FifteenDigitsExactly(magnitude);
    }
    const auto shortest = ShortestDecimal(magnitude);
    const int position = shortest.exponent + DigitCount(shortest.significand) - 15;
    const std::optional<std::uint64_t> rounded = RoundedShortest(shortest, position);
    return rounded ? SignificandOf(*rounded, position) : FifteenDigitsExactly(magnitude);
}

// Digits `from` to `to` of the significand, zeros past its last digit.
void AppendDigits(std::string& out, const Significand& s, int from, int to) {
    const int present = std::min(to, s.count);
    if (present > from) {
        out.append(s.digits.data() + from, static_cast<std::size_t>(present - from));
    }
    if (to > std::max(present, from)) {
        out.append(static_cast<std::size_t>(to - std::max(present, from)), '0');
    }
}

// The exponent form d[.ddd]E±XX of a significand, at least two exponent digits.
void AppendExponentForm(std::string& out, const Significand& s, std::string_view point,
                        char letter) {
    out += s.digits[0];
    if (s.count > 1) {
        out.append(point);
        AppendDigits(out, s, 1, s.count);
    }
    out += letter;
    out += s.exponent < 0 ? '-' : '+';
    const int exponent = std::abs(s.exponent);
    if (exponent < 10) {
        out += '0';
    }
    std::array<char, 8> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), exponent);
    out.append(text.data(), end.ptr);
}

// The fixed form of a significand with digits after the point: "0.000ddd" or "dd.ddd".
void AppendFixedFraction(std::string& out, const Significand& s, std::string_view point) {
    if (s.exponent < 0) {
        out += '0';
        out.append(point);
        out.append(static_cast<std::size_t>(-s.exponent - 1), '0');
        AppendDigits(out, s, 0, s.count);
    } else {
        AppendDigits(out, s, 0, s.exponent + 1);
        if (s.count > s.exponent + 1) {
            out.append(point);
            AppendDigits(out, s, s.exponent + 1, s.count);
        }
    }
}

// Characters of each form of the same digits, for the rule that picks the shorter.
int FixedLength(const Significand& s) {
    if (s.exponent >= s.count - 1) {
        return s.exponent + 1;
    }
    return s.exponent >= 0 ? s.count + 1 : s.count - s.exponent + 1;
}
int ExponentFormLength(const Significand& s) {
    return s.count + (s.count > 1 ? 1 : 0) + 2 + (std::abs(s.exponent) >= 100 ? 3 : 2);
}

}  // namespace

void AppendThreeDecimals(std::string& out, double value, std::string_view decimal_separator) {
    if (AppendNonFinite(out, value)) {
        return;
    }
    if (const std::optional<std::uint64_t> thousandths = ExactThousandths(std::fabs(value))) {
        if (value < 0 && *thousandths != 0) {
            out += '-';
        }
        std::array<char, 24> digits;
        if (*thousandths >= 1000) {
            out.append(digits.data(), std::to_chars(digits.data(), digits.data() + digits.size(),
                                                    *thousandths / 1000)
                                          .ptr);
        }
        out.append(decimal_separator);
        const auto decimals = static_cast<int>(*thousandths % 1000);
        out += static_cast<char>('0' + decimals / 100);
        out += static_cast<char>('0' + decimals / 10 % 10);
        out += static_cast<char>('0' + decimals % 10);
        return;
    }
    // Large enough for the 309 integer digits of DBL_MAX, the point and three decimals.
    std::array<char, 330> buffer;
    const std::string_view text = FormatInto(buffer, FMT_COMPILE("{:.3f}"), std::fabs(value));
    if (value < 0 && text != "0.000") {
        out += '-';
    }
    const std::size_t point = text.size() - 4;
    if (!(point == 1 && text[0] == '0')) {
        out.append(text.substr(0, point));
    }
    out.append(decimal_separator);
    out.append(text.substr(point + 1));
}

void AppendGeneralNumber(std::string& out, double value, std::string_view decimal_separator) {
    if (AppendNonFinite(out, value)) {
        return;
    }
    if (value == 0) {
        out += '0';
        return;
    }
    if (value < 0) {
        out += '-';
    }
    const Significand s = RoundTo15Digits(std::fabs(value));
    if (s.exponent < -4 || s.exponent >= 15) {
        AppendExponentForm(out, s, decimal_separator, 'E');
    } else {
        AppendFixedFraction(out, s, decimal_separator);
    }
}

void AppendShortestNumber(std::string& out, double value, ShortestSpelling spelling) {
    if (std::signbit(value)) {
        if (spelling.negative_zero_with_point && value == 0) {
            out += "-0.0";
            return;
        }
        out += '-';
    }
    // The shorter of the fixed and the exponent form, the fixed one on a tie.
    const double magnitude = std::fabs(value);
    const Significand s = ShortestSignificand(magnitude);
    if (ExponentFormLength(s) < FixedLength(s)) {
        AppendExponentForm(out, s, ".", spelling.exponent);
    } else if (s.exponent < s.count - 1) {
        AppendFixedFraction(out, s, ".");
    } else if (s.exponent < 15) {
        // Below 2^53 every integer is a double of its own: the digits are the exact value.
        AppendDigits(out, s, 0, s.exponent + 1);
    } else {
        // Beyond, the fixed form is the exact integer value, not the digits padded with zeros.
        std::array<char, 32> exact{};
        out.append(FormatInto(exact, FMT_COMPILE("{:.0f}"), magnitude));
    }
}

void AppendSignificantDigits(std::string& out, double value, int digits,
                             std::string_view decimal_separator) {
    if (AppendNonFinite(out, value)) {
        return;
    }
    std::array<char, 32> buffer{};
    const char* end = fmt::format_to(buffer.data(), "{:.{}g}", value, digits);
    for (const char c :
         std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data()))) {
        if (c == '.') {
            out.append(decimal_separator);
        } else {
            out += c;
        }
    }
}

std::string FormatThreeDecimals(double value, std::string_view decimal_separator) {
    std::string out;
    AppendThreeDecimals(out, value, decimal_separator);
    return out;
}

std::string FormatGeneralNumber(double value, std::string_view decimal_separator) {
    std::string out;
    AppendGeneralNumber(out, value, decimal_separator);
    return out;
}

std::string FormatSignificantDigits(double value, int digits, std::string_view decimal_separator) {
    std::string out;
    AppendSignificantDigits(out, value, digits, decimal_separator);
    return out;
}

}  // namespace dsf2vemo
