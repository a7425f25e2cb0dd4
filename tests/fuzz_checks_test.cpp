// The parts of the fuzzers' checks that could themselves be wrong: the reference for the pane's
// three decimals the echo is held against, and the bound on the echo fuzzer's huge values.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "case_name.h"
#include "dsf_builder.h"
#include "fuzz_input.h"
#include "number_format.h"
#include "three_decimals_reference.h"

namespace dsf2vemo {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The reference and the program's own road agree: two ways of working out the same digits, so
// that a slip in either shows. The values are the edges of the reference's steps (its shifts of
// 63 and 64 bits, the limbs of its long multiplication, the ties, the carry to 1000, the sign of
// what rounds to zero), then doubles of every binade.
TEST(ReferenceThreeDecimalsTest, AgreesWithTheProgram) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  -0.0004,
                                  -0.00049,
                                  -0.0006,
                                  0.0625,
                                  0.1875,
                                  0.0005,
                                  0.999,
                                  1.0,
                                  0.9995,
                                  std::ldexp(9007199254740991.0, -63),
                                  std::ldexp(9007199254740991.0, -64),
                                  4503599627370495.5,
                                  4503599627370497.0,
                                  144115188075855872.0,
                                  0x1p100,
                                  -1e300,
                                  kMax,
                                  -1234.5678,
                                  kNaN,
                                  kInf,
                                  -kInf};
    std::mt19937_64 random(11);
    for (int i = 0; i < 20'000; ++i) {
        const auto bits = (random() & ((std::uint64_t{1} << 52) - 1)) |
                          (std::uint64_t{random() % 2047} << 52) |
                          (random() & (std::uint64_t{1} << 63));
        values.push_back(std::bit_cast<double>(bits));
    }
    for (const double value : values) {
        for (const std::string_view decimal : {".", "<->"}) {
            ASSERT_EQ(testing::ReferenceThreeDecimals(value, decimal),
                      FormatThreeDecimals(value, decimal))
                << value;
        }
    }
}

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
