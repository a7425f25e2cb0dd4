#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "number_format.h"

namespace dsf2vemo {
namespace {

struct FormatCase {
    double value;
    const char* decimal;
    const char* expected;
};

class ThreeDecimalsTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ThreeDecimalsTest, FormatsLikeThePane) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatThreeDecimals(c.value, c.decimal), c.expected) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ThreeDecimalsTest,
    ::testing::Values(FormatCase{1.5, ".", "1.500"}, FormatCase{0.3, ".", ".300"},
                      FormatCase{0, ".", ".000"}, FormatCase{-0.25, ".", "-.250"},
                      FormatCase{1234.5, ".", "1234.500"}, FormatCase{2.0004, ".", "2.000"},
                      FormatCase{0.3, ",", ",300"}, FormatCase{-1234.5678, ",", "-1234,568"},
                      FormatCase{0.9996, ".", "1.000"}, FormatCase{-0.9996, ".", "-1.000"},
                      // Values that round to zero lose their sign; so does negative zero.
                      FormatCase{-0.0004, ".", ".000"}, FormatCase{-0.0, ".", ".000"},
                      FormatCase{1e15, ".", "1000000000000000.000"}, FormatCase{0.5, "<>", "<>500"},
                      FormatCase{std::numeric_limits<double>::quiet_NaN(), ".", "NaN"},
                      FormatCase{std::numeric_limits<double>::infinity(), ".", "Inf"},
                      FormatCase{-std::numeric_limits<double>::infinity(), ".", "-Inf"}));

// The pane's space before a number goes with it on every road: the integer one up to 2^52, the
// slower one from there, and the names of values that are not numbers.
TEST(ThreeDecimalsTest, CharacterBeforeComesFirst) {
    const double values[] = {0.3,
                             -0.0004,
                             4503599627370495.5,
                             0x1p52,
                             1e300,
                             std::numeric_limits<double>::quiet_NaN(),
                             -std::numeric_limits<double>::infinity()};
    for (const double value : values) {
        for (const std::string_view decimal : {".", "<>"}) {
            std::string out = "x";
            AppendThreeDecimals(out, ' ', value, decimal);
            EXPECT_EQ(out, "x " + FormatThreeDecimals(value, decimal)) << value;
        }
    }
}

TEST(ThreeDecimalsTest, LargestDoubleKeepsEveryIntegerDigit) {
    const std::string text = FormatThreeDecimals(std::numeric_limits<double>::max(), ".");
    EXPECT_EQ(text.size(), 309u + 4u);
    EXPECT_EQ(text.substr(0, 6), "179769");
    EXPECT_EQ(text.substr(309), ".000");
}

// The digits must be those of the exact binary value rounded to three decimals (as printf does),
// across magnitudes and for values near rounding boundaries.
TEST(ThreeDecimalsTest, MatchesExactRounding) {
    std::uint64_t state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return state >> 11;
    };
    for (int i = 0; i < 200000; ++i) {
        const double scale = std::pow(10.0, static_cast<double>(next() % 30) - 15.0);
        double value = static_cast<double>(next()) / 9007199254740992.0 * scale;
        if (i % 3 == 0) {
            // Close to a half of the last decimal.
            value = (std::round(value * 1000) + 0.5) / 1000;
        }
        if (i % 2 == 0) {
            value = -value;
        }
        char expected[400];
        std::snprintf(expected, sizeof expected, "%.3f", value);
        std::string exact = expected;
        if (exact == "-0.000") {
            exact = "0.000";
        }
        if (exact.starts_with("0.") || exact.starts_with("-0.")) {
            exact.erase(exact.find('0'), 1);
        }
        ASSERT_EQ(FormatThreeDecimals(value, "."), exact) << value;
    }
}

// Exact ties and the edges of the integer roads, with both layouts of each value: a tie goes to
// the even neighbour, and each edge has a value on either side (outside, the slower road).
struct ExactCase {
    double value;
    const char* three_decimals;
    const char* general;
};

class ExactRoundingTest : public ::testing::TestWithParam<ExactCase> {};

TEST_P(ExactRoundingTest, RoundsTheExactValue) {
    const ExactCase& c = GetParam();
    EXPECT_EQ(FormatThreeDecimals(c.value, "."), c.three_decimals) << c.value;
    EXPECT_EQ(FormatGeneralNumber(c.value, "."), c.general) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    TiesAndEdges, ExactRoundingTest,
    ::testing::Values(
        // Thousandths halfway: sixteenths.
        ExactCase{0.0625, ".062", "0.0625"}, ExactCase{0.1875, ".188", "0.1875"},
        ExactCase{-0.0625, "-.062", "-0.0625"},
        ExactCase{281474976710656.0625, "281474976710656.062", "281474976710656"},
        ExactCase{281474976710656.1875, "281474976710656.188", "281474976710656"},
        // Three decimals: zero below 2^-11, the integer road up to 2^52.
        ExactCase{0x1.fffffffffffffp-12, ".000", "0.00048828125"},
        ExactCase{0x1p-11, ".000", "0.00048828125"}, ExactCase{0.0005, ".001", "0.0005"},
        ExactCase{0.000999, ".001", "0.000999"},
        ExactCase{4503599627370495.5, "4503599627370495.500", "4.5035996273705E+15"},
        ExactCase{0x1p52, "4503599627370496.000", "4.5035996273705E+15"},
        ExactCase{0x1p53, "9007199254740992.000", "9.00719925474099E+15"},
        ExactCase{1e16, "10000000000000000.000", "1E+16"},
        // A 15th digit halfway: 16 digits ending in 5, with 15 and 16 digits before the point
        // once scaled.
        ExactCase{1.234588623046875, "1.235", "1.23458862304688"},
        ExactCase{1.234649658203125, "1.235", "1.23464965820312"},
        ExactCase{10.00006103515625, "10.000", "10.0000610351562"},
        ExactCase{10.00018310546875, "10.000", "10.0001831054688"},
        ExactCase{123456789012344.5, "123456789012344.500", "123456789012344"},
        ExactCase{123456789012345.5, "123456789012345.500", "123456789012346"},
        ExactCase{1.049041748046875e-05, ".000", "1.04904174804688E-05"},
        ExactCase{1.239776611328125e-05, ".000", "1.23977661132812E-05"},
        ExactCase{1000000000000005, "1000000000000005.000", "1E+15"},
        ExactCase{1000000000000015, "1000000000000015.000", "1.00000000000002E+15"},
        ExactCase{1125899906842615, "1125899906842615.000", "1.12589990684262E+15"},
        ExactCase{1125899906842625, "1125899906842625.000", "1.12589990684262E+15"},
        // 15 digits: the integer road from 2^-36 up to 2^50; beyond each edge, and deeper
        // below it, where one more power of five would be needed.
        ExactCase{0x1p50, "1125899906842624.000", "1.12589990684262E+15"},
        ExactCase{0x1.fffffffffffffp49, "1125899906842623.875", "1.12589990684262E+15"},
        ExactCase{0x1p-36, ".000", "1.45519152283669E-11"},
        ExactCase{0x1.fffffffffffffp-37, ".000", "1.45519152283669E-11"},
        ExactCase{0x1.8p-37, ".000", "1.09139364212751E-11"},
        ExactCase{0x1.8p-38, ".000", "5.45696821063757E-12"},
        ExactCase{0x1.8p-39, ".000", "2.72848410531878E-12"},
        // Just above a power of ten, which scales to 16 digits.
        ExactCase{0x1.4000000000003p3, "10.000", "10"},
        ExactCase{1000000000000000.625, "1000000000000000.625", "1E+15"},
        // Rounding up to the next power of ten.
        ExactCase{0x1.fffffffffffffp-1, "1.000", "1"},
        ExactCase{0x1.3ffffffffffffp3, "10.000", "10"},
        // Integer parts on either side of each length the digits are written in: one digit and
        // two, up to eight in 32 bits, then eight more, and the 16 of the largest thousandths.
        ExactCase{9.5, "9.500", "9.5"}, ExactCase{10.25, "10.250", "10.25"},
        ExactCase{99.5, "99.500", "99.5"}, ExactCase{100.5, "100.500", "100.5"},
        ExactCase{9999999.5, "9999999.500", "9999999.5"},
        ExactCase{10000000.5, "10000000.500", "10000000.5"},
        ExactCase{99999999.5, "99999999.500", "99999999.5"},
        ExactCase{100000000.5, "100000000.500", "100000000.5"},
        ExactCase{1234567890123456.5, "1234567890123456.500", "1.23456789012346E+15"},
        // 15 digits whose first seven and last eight are written apart, with zeros at the seam.
        ExactCase{1000000.00000001, "1000000.000", "1000000.00000001"},
        ExactCase{9999999.99999999, "10000000.000", "9999999.99999999"}));

class GeneralNumberTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(GeneralNumberTest, FormatsLikeTheTextDataFile) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatGeneralNumber(c.value, c.decimal), c.expected) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, GeneralNumberTest,
    ::testing::Values(
        FormatCase{2, ".", "2"}, FormatCase{0.5, ".", "0.5"}, FormatCase{1.5, ".", "1.5"},
        FormatCase{0.3, ".", "0.3"}, FormatCase{2.25, ".", "2.25"}, FormatCase{20.5, ",", "20,5"},
        FormatCase{1.0 / 3.0, ".", "0.333333333333333"},
        FormatCase{2.0 / 3.0, ".", "0.666666666666667"},
        FormatCase{-1.0 / 3.0, ",", "-0,333333333333333"}, FormatCase{0, ".", "0"},
        FormatCase{-0.0, ".", "0"}, FormatCase{-7, ".", "-7"}, FormatCase{0.0001, ".", "0.0001"},
        FormatCase{0.00001, ".", "1E-05"}, FormatCase{0.000012345, ",", "1,2345E-05"},
        FormatCase{-0.00001, ".", "-1E-05"}, FormatCase{1e-9, ".", "1E-09"},
        FormatCase{1.5e-10, ".", "1.5E-10"}, FormatCase{123456789012345.0, ".", "123456789012345"},
        FormatCase{1e15, ".", "1E+15"}, FormatCase{1234567890123456.0, ".", "1.23456789012346E+15"},
        FormatCase{999999999999999.5, ".", "1E+15"}, FormatCase{0.1 + 0.2, ".", "0.3"},
        FormatCase{1e300, ".", "1E+300"}, FormatCase{-2.5e-300, ".", "-2.5E-300"},
        FormatCase{5e-324, ".", "4.94065645841247E-324"},
        FormatCase{std::numeric_limits<double>::max(), ".", "1.79769313486232E+308"},
        FormatCase{12.5, "--", "12--5"},
        FormatCase{std::numeric_limits<double>::quiet_NaN(), ".", "NaN"},
        FormatCase{std::numeric_limits<double>::infinity(), ".", "Inf"},
        FormatCase{-std::numeric_limits<double>::infinity(), ".", "-Inf"}));

// Every finite value must read back to itself rounded to 15 significant digits.
TEST(GeneralNumberTest, ReadsBackToFifteenSignificantDigits) {
    std::uint64_t bits = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 20000; ++i) {
        bits ^= bits << 13;
        bits ^= bits >> 7;
        bits ^= bits << 17;
        const double value = std::bit_cast<double>(bits);
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string text = FormatGeneralNumber(value, ".");
        const double parsed = std::strtod(text.c_str(), nullptr);
        char expected[40];
        char actual[40];
        std::snprintf(expected, sizeof expected, "%.14e", value);
        std::snprintf(actual, sizeof actual, "%.14e", parsed);
        ASSERT_STREQ(actual, expected) << text;
        ASSERT_LE(text.size(), 22u) << text;
    }
}

// A row of numbers gives the bytes of one number at a time, the buffer filled and emptied many
// times over, with separators of every length up to where each number no longer fits in it
// with them (under the sanitizers, a write past the buffer would show).
TEST(GeneralNumbersTest, RowIsEachNumberInTurn) {
    const std::size_t fits = kNumbersRoom - 48 - 1;
    const struct {
        std::size_t separator_length;
        const char* decimal;
    } cases[] = {{1, "."},
                 {2, ","},
                 {1, "--"},
                 {fits, "."},
                 {fits + 1, "."},
                 {fits - 1, "<>"},
                 {kNumbersRoom - 8, "."}};
    std::vector<double> values = {1.5,
                                  -0.25,
                                  1e-5,
                                  0,
                                  -0.0,
                                  123456789012345.0,
                                  1e300,
                                  std::numeric_limits<double>::quiet_NaN(),
                                  -std::numeric_limits<double>::infinity()};
    for (int i = 0; i < 3000; ++i) {
        values.push_back(std::ldexp(1.0 + i / 3000.0, i % 200 - 100) * (i % 3 == 0 ? -1 : 1));
    }
    for (const auto& c : cases) {
        const std::string separator(c.separator_length, ';');
        std::string expected = "head";
        for (const double value : values) {
            expected += separator;
            AppendGeneralNumber(expected, value, c.decimal);
        }
        std::string row = "head";
        AppendGeneralNumbers(row, values, separator, c.decimal);
        ASSERT_EQ(row, expected) << c.separator_length << " " << c.decimal;
    }
    std::string short_row;
    AppendGeneralNumbers(short_row, std::span(values).first(4), "; ", "--");
    EXPECT_EQ(short_row, "; 1--5; -0--25; 1E-05; 0");
}

}  // namespace
}  // namespace dsf2vemo
