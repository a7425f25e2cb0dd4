// Every number format gives the bytes std::to_chars gives where the standard library has it, for
// doubles of every kind: random bit patterns, subnormals, powers of ten and values halfway
// between two results of a rounding.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "number_format.h"
#include "wide_product.h"

namespace dsf2vemo {
namespace {

template <class... Format>
std::string ToChars(double value, Format... format) {
    char buffer[400];
    return {buffer, std::to_chars(std::begin(buffer), std::end(buffer), value, format...).ptr};
}

std::vector<double> ValuesOfEveryKind() {
    std::vector<double> values = {0.0, -0.0, std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(), 9007199254740992.0,
                                  9007199254740993.0, 1e23, 0.1 + 0.2,
                                  // 16 shortest digits (two runs of eight); exponents of two
                                  // digits and of three.
                                  0.9999999999999999, -2.5e-99, 2.5e-100};
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 100000; ++i) {
        values.push_back(std::bit_cast<double>(random()));
    }
    for (int i = 0; i < 2000; ++i) {
        // Subnormals.
        values.push_back(std::bit_cast<double>(random() & 0x800FFFFFFFFFFFFFull));
    }
    for (int exponent = -324; exponent <= 308; ++exponent) {
        const double power = std::pow(10.0, exponent);
        values.insert(values.end(),
                      {power, std::nextafter(power, 0.0), -power, std::nextafter(power, INFINITY)});
    }
    for (int i = 0; i < 30000; ++i) {
        // Halfway between two results of three decimals, of 15 and of 4 significant digits, as
        // near as a double gets; and integers with up to 22 digits, where the fixed and the
        // exponent form are equally long.
        const auto digits = static_cast<double>(random() % 100000000000000000ull);
        const int scale = static_cast<int>(random() % 40) - 20;
        values.push_back((std::round(digits / 1000) + 0.5) / 1000);
        // The doubles nearest to a half of a 15th digit, on both sides.
        const double half =
            std::strtod((std::to_string(100'000'000'000'000 + random() % 900'000'000'000'000) +
                         "5e" + std::to_string(scale * 15))
                            .c_str(),
                        nullptr);
        values.insert(values.end(),
                      {half, std::nextafter(half, 0.0), std::nextafter(half, INFINITY),
                       std::nextafter(std::nextafter(half, INFINITY), INFINITY)});
        values.push_back((static_cast<double>(random() % 10000) + 0.5) * std::pow(10.0, scale));
        values.push_back(std::round(digits) * std::pow(10.0, static_cast<double>(i % 6)));
        // Exact ties: sixteen digits ending in 5 below 2^53, five ending in 5, sixteenths.
        values.push_back(
            static_cast<double>(1'000'000'000'000'005 + 10 * (random() % 800'000'000'000'000)));
        values.push_back(static_cast<double>(10005 + 10 * (random() % 9000)));
        values.push_back(static_cast<double>(random() % 1'000'000) / 16);
    }
    return values;
}

// The text data file's form is printf's "%.15G" but for negative zero, the pane's the fixed form
// with three decimals without a leading zero and a minus sign only where a digit isn't zero.
std::string GeneralReference(double value) {
    std::string text = ToChars(value == 0 ? 0.0 : value, std::chars_format::general, 15);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}
std::string ThreeDecimalsReference(double value) {
    std::string text = ToChars(std::fabs(value), std::chars_format::fixed, 3);
    if (text.starts_with("0.")) {
        text.erase(0, 1);
    }
    return (value < 0 && text.find_first_not_of("0.") != std::string::npos ? "-" : "") + text;
}

TEST(NumberFormatEqualityTest, EveryFormatGivesTheBytesOfToChars) {
    struct Form {
        const char* name;
        std::string (*actual)(double);
        std::string (*expected)(double);
    };
    const Form forms[] = {
        {"shortest",
         [](double v) {
             std::string out;
             AppendShortestNumber(out, v);
             return out;
         },
         [](double v) { return ToChars(v); }},
        {"four significant digits", [](double v) { return FormatSignificantDigits(v, 4, "."); },
         [](double v) { return ToChars(v, std::chars_format::general, 4); }},
        {"general", [](double v) { return FormatGeneralNumber(v, "."); }, GeneralReference},
        {"three decimals", [](double v) { return FormatThreeDecimals(v, "."); },
         ThreeDecimalsReference},
    };
    for (const double value : ValuesOfEveryKind()) {
        if (!std::isfinite(value)) {
            continue;
        }
        for (const Form& form : forms) {
            ASSERT_EQ(form.actual(value), form.expected(value))
                << form.name << " of " << ToChars(value);
        }
    }
}

// Values where the integer roads of three decimals and of 15 digits lie, a few binades past their
// edges, with exact ties and their neighbours among them; and now and then any double at all.
class ExactRoadValues {
  public:
    double Next() {
        const std::uint64_t bits = random_();
        const std::uint64_t sign = bits & 0x8000000000000000u;
        if (bits % 64 == 1) {
            return std::bit_cast<double>(random_());
        }
        switch (bits % 8) {
            case 0: {
                // A tie, or a neighbour of one: an odd number of sixteenths (thousandths halfway)
                // or odd t / 2^j whose exact value has 16 digits, the last a 5 (a 15th digit
                // halfway), for j = 1 to 22.
                double tie = std::ldexp(static_cast<double>((random_() >> 12) | 1), -4);
                if (bits & 16) {
                    const int j = 1 + static_cast<int>(random_() % 22);
                    const auto lowest = static_cast<std::uint64_t>(1e15 / std::pow(5.0, j)) + 1;
                    tie = std::ldexp(static_cast<double>((lowest + random_() % (8 * lowest)) | 1),
                                     -j);
                }
                const std::uint64_t neighbour = (bits >> 8) % 3;  // below, the tie, above
                return std::bit_cast<double>(std::bit_cast<std::uint64_t>(tie) + neighbour - 1) *
                       (sign ? -1 : 1);
            }
            default: {
                // Binades -45 to 60 with any significand.
                const std::uint64_t binade = 1023 - 45 + (bits >> 4) % 106;
                return std::bit_cast<double>(sign | binade << 52 | (random_() >> 12));
            }
        }
    }

  private:
    std::mt19937_64 random_{19700101};
};

// Ten million values natively, a tenth of them under the sanitizers (ten times slower).
#if defined(__SANITIZE_ADDRESS__)
constexpr int kExactRoadSweep = 1'000'000;
#else
constexpr int kExactRoadSweep = 10'000'000;
#endif

TEST(NumberFormatEqualityTest, IntegerRoadsGiveTheBytesOfToChars) {
    ExactRoadValues values;
    for (int i = 0; i < kExactRoadSweep; ++i) {
        const double value = values.Next();
        if (!std::isfinite(value)) {
            continue;
        }
        ASSERT_EQ(FormatThreeDecimals(value, "."), ThreeDecimalsReference(value)) << ToChars(value);
        ASSERT_EQ(FormatGeneralNumber(value, "."), GeneralReference(value)) << ToChars(value);
    }
}

// Each division by a constant the number roads make, against the division itself, at the top of
// its range and on either side of the multiples of the divisor there and at the bottom.
TEST(NumberFormatEqualityTest, DivisionsByProductsAreExact) {
    struct Division {
        std::uint64_t divisor;
        int bits;
        std::uint64_t (*divide)(std::uint64_t);
    };
    const Division divisions[] = {
        {10, 54, DivideBy<10, 54>},
        {100, 10, DivideBy<100, 10>},
        {100, 14, DivideBy<100, 14>},
        {100, 27, DivideBy<100, 27>},
        {1000, 62, DivideBy<1000, 62>},
        {10000, 20, DivideBy<10000, 20>},
        {10000, 27, DivideBy<10000, 27>},
        {1'000'000, 24, DivideBy<1'000'000, 24>},
        {100'000'000, 50, DivideBy<100'000'000, 50>},
        {100'000'000, 54, DivideBy<100'000'000, 54>},
    };
    std::mt19937_64 random(7);
    for (const Division& d : divisions) {
        const std::uint64_t top = (std::uint64_t{1} << d.bits) - 1;
        const std::uint64_t last_multiple = top / d.divisor * d.divisor;
        std::vector<std::uint64_t> xs = {
            0, 1, d.divisor - 1, d.divisor, d.divisor + 1, top, last_multiple - 1, last_multiple};
        for (int i = 0; i < 10000; ++i) {
            xs.push_back(random() & top);
        }
        for (const std::uint64_t x : xs) {
            ASSERT_EQ(d.divide(x), x / d.divisor) << x << " / " << d.divisor;
        }
    }
}

#if defined(__SIZEOF_INT128__)
// The product from 32-bit halves, where a target has no faster one, against the compiler's.
TEST(NumberFormatEqualityTest, ProductByHalvesIsTheWideProduct) {
    const std::uint64_t edges[] = {0,
                                   1,
                                   0xFFFFFFFFu,
                                   0x100000000u,
                                   0x8000000000000000u,
                                   0xFFFFFFFFFFFFFFFFu,
                                   0x1FFFFFFFFFFFFFu,
                                   298023223876953125u};
    std::vector<std::pair<std::uint64_t, std::uint64_t>> factors;
    for (const std::uint64_t a : edges) {
        for (const std::uint64_t b : edges) {
            factors.emplace_back(a, b);
        }
    }
    std::mt19937_64 random(42);
    for (int i = 0; i < 100000; ++i) {
        factors.emplace_back(random() >> (i % 64), random() >> (i / 64 % 64));
    }
    for (const auto& [a, b] : factors) {
        const WideProduct expected = MultiplyByInt128(a, b);
        const WideProduct actual = MultiplyByHalves(a, b);
        ASSERT_EQ(actual.high, expected.high) << a << " x " << b;
        ASSERT_EQ(actual.low, expected.low) << a << " x " << b;
    }
}
#endif

}  // namespace
}  // namespace dsf2vemo
