// The parts of the fuzzers' checks that could themselves be wrong: the reference for the pane's
// three decimals the echo is held against, and the bound on the echo fuzzer's huge values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "case_name.h"
#include "dsf_builder.h"
#include "fuzz_input.h"
#include "three_decimals_reference.h"

namespace dsf2vemo {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct ReferenceCase {
    std::string name;
    double value;
    std::string decimal;
    std::string expected;
};

class ReferenceThreeDecimalsTest : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceThreeDecimalsTest, WorksOutThePaneForm) {
    const ReferenceCase& c = GetParam();
    EXPECT_EQ(testing::ReferenceThreeDecimals(c.value, c.decimal), c.expected);
}

const std::string kMaxDigits =
    "1797693134862315708145274237317043567980705675258449965989174768031572607800285387605895"
    "5863276687817154045895351438246423432132688946418276846754670353751698604991057655128207"
    "6245490090389328944075868508455133942304583236903222948165808559332123348274797826204144"
    "723168738177180919299881250404026184124858368";

INSTANTIATE_TEST_SUITE_P(
    Values, ReferenceThreeDecimalsTest,
    ::testing::ValuesIn(std::vector<ReferenceCase>{
        {"zero", 0.0, ".", ".000"},
        {"negative_zero", -0.0, ".", ".000"},
        {"negative_rounding_to_zero", -0.0004, ".", ".000"},
        {"negative_rounding_to_zero_above_2_11", -0.00049, ".", ".000"},
        {"negative_rounding_to_one_thousandth", -0.0006, ".", "-.001"},
        {"tie_down_to_even", 0.0625, ".", ".062"},
        {"tie_up_to_even", 0.1875, ".", ".188"},
        {"just_above_a_half", 0.0005, ".", ".001"},
        {"below_a_thousand_thousandths", 0.999, ".", ".999"},
        {"a_thousand_thousandths", 1.0, ".", "1.000"},
        {"rounding_up_to_one", 0.9995, ".", "1.000"},
        {"shift_of_63_bits", std::ldexp(9007199254740991.0, -63), ".", ".001"},
        {"shift_of_64_bits", std::ldexp(9007199254740991.0, -64), ".", ".000"},
        {"half_below_2_52", 4503599627370495.5, ".", "4503599627370495.500"},
        {"integer_of_53_bits", 4503599627370497.0, ".", "4503599627370497.000"},
        {"limb_with_leading_zero", 144115188075855872.0, ".", "144115188075855872.000"},
        {"beyond_32_doublings", 0x1p100, ",", "1267650600228229401496703205376,000"},
        {"negative_huge", -1e300, ".",
         "-1000000000000000052504760255204420248704468581108159154915854115511802457988908195786"
         "3713750804478640437044438328838781769425232353604305756447921847867069828483872009265758"
         "0373783023379478809005936895323497079994508111903896764088007465274278014249457925878882"
         "0056842838115669472196386865459400540160.000"},
        {"largest", kMax, "::", kMaxDigits + "::000"},
        {"long_separator", -1234.5678, "<->", "-1234<->568"},
        {"nan", kNaN, ".", "NaN"},
        {"infinity", kInf, ".", "Inf"},
        {"negative_infinity", -kInf, ".", "-Inf"},
    }),
    testing::CaseName());

struct BudgetCase {
    std::string name;
    std::int32_t variable_count;
    std::vector<double> values;  // the triangle, then the means, of one or more variables
    int cut = 0;                 // bytes taken off the end
    int bits;
};

class EchoFuzzBudgetTest : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(EchoFuzzBudgetTest, CountsTheBitsOfHugeValues) {
    const BudgetCase& c = GetParam();
    MomentData data;
    data.CaseCount = 10;
    data.VariableCount = c.variable_count;
    // The values are laid out for as many variables as they fill, whatever count is declared.
    std::size_t p = 1;
    while (p * (p + 3) / 2 < c.values.size()) {
        ++p;
    }
    data.VariableNames.assign(p, "V");
    data.Covariances.assign(c.values.begin(), c.values.end() - static_cast<std::ptrdiff_t>(p));
    data.Means.assign(c.values.end() - static_cast<std::ptrdiff_t>(p), c.values.end());
    std::vector<std::byte> bytes = testing::BuildDsf(data);
    bytes.resize(bytes.size() - static_cast<std::size_t>(c.cut));
    EXPECT_EQ(testing::BitsBeyondDoublePrecision(bytes), c.bits);
    EXPECT_EQ(testing::WithinEchoFuzzBudget(bytes), c.bits <= testing::kEchoFuzzBits);
}

INSTANTIATE_TEST_SUITE_P(
    Files, EchoFuzzBudgetTest,
    ::testing::ValuesIn(std::vector<BudgetCase>{
        {"below_2_53", 1, {9007199254740990.0, 1.0}, 0, 0},
        {"at_2_53", 1, {0x1p53, 1.0}, 0, 1},
        {"negative", 1, {1.0, -0x1p60}, 0, 8},
        {"largest", 1, {kMax, 1.0}, 0, 971},
        {"not_finite", 1, {kInf, kNaN}, 0, 0},
        {"summed_over_the_triangle_and_means", 2, {0x1p60, 0x1p54, 1.0, 0x1p53, 0x1p55}, 0, 14},
        {"one_byte_short", 1, {0x1p60, 0x1p60}, 1, 0},
        {"shorter_than_the_counts", 1, {0x1p60, 0x1p60}, 25, 0},
        {"no_variables", 0, {0x1p60, 0x1p60}, 0, 0},
        {"negative_variable_count", -1, {0x1p60, 0x1p60}, 0, 0},
        {"variable_count_past_the_limit", 46341, {0x1p60, 0x1p60}, 0, 0},
        {"largest_variable_count",
         std::numeric_limits<std::int32_t>::max(),
         {0x1p60, 0x1p60},
         0,
         0},
        {"at_the_budget", 1, {kMax, 0x1p105}, 0, 1024},
        {"past_the_budget", 1, {kMax, 0x1p106}, 0, 1025},
    }),
    testing::CaseName());

}  // namespace
}  // namespace dsf2vemo
