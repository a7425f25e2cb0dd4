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

namespace dsf2vemo {
namespace {

template <class... Format>
std::string ToChars(double value, Format... format) {
    char buffer[400];
    return {buffer, std::to_chars(std::begin(buffer), std::end(buffer), value, format...).ptr};
}

std::vector<double> ValuesOfEveryKind() {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(),
                                  9007199254740992.0,
                                  9007199254740993.0,
                                  1e23,
                                  0.1 + 0.2};
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

}  // namespace
}  // namespace dsf2vemo
