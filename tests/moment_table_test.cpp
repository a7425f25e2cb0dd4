// The moments as the packages hand them over: the mirrored matrix, the texts as UTF-8 and the
// header without its padding.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "conversion_error.h"
#include "dsf_builder.h"
#include "moment_table.h"

namespace dsf2vemo {
namespace {

std::vector<std::uint64_t> Bits(const std::vector<double>& values) {
    std::vector<std::uint64_t> bits;
    for (const double value : values) {
        bits.push_back(std::bit_cast<std::uint64_t>(value));
    }
    return bits;
}

TEST(MomentTableTest, MirrorsTheTriangleAndKeepsEveryBit) {
    MomentData data;
    data.CaseCount = 7;
    data.VariableCount = 3;
    data.VariableNames = {"A", "\xE9t\xE9", ""};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // (1,1); (2,1) (2,2); (3,1) (3,2) (3,3)
    data.Covariances = {1.0, -0.0, 2.0, 0.1, nan, 3.0};
    data.Means = {-1.5, 0.0, 1e300};
    const MomentTable table = TableOfMoments({std::string("HE AD \0 \0", 9), data});

    EXPECT_EQ(table.header, "HE AD");
    EXPECT_EQ(table.cases, 7);
    EXPECT_EQ(table.names, (std::vector<std::string>{"A", "\xC3\xA9t\xC3\xA9", ""}));
    EXPECT_EQ(Bits(table.covariances), Bits({1.0, -0.0, 0.1,  //
                                             -0.0, 2.0, nan,  //
                                             0.1, nan, 3.0}));
    EXPECT_EQ(Bits(table.means), Bits(data.Means));
}

TEST(MomentTableTest, RefusesArraysThatDontMatchTheCount) {
    MomentData data = testing::DemoMomentData();
    data.Covariances.pop_back();
    EXPECT_THROW(TableOfMoments({"", data}), ConversionError);
}

}  // namespace
}  // namespace dsf2vemo
