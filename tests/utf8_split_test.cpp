#include <gtest/gtest.h>

#include <string>

#include "case_name.h"
#include "utf8_split.h"

namespace dsf2vemo::cli {
namespace {

struct SplitCase {
    std::string name;
    std::string text;
    std::size_t complete;
};

class CompleteUtf8LengthTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CompleteUtf8LengthTest, KeepsOnlyAnUnfinishedLastCharacter) {
    EXPECT_EQ(CompleteUtf8Length(GetParam().text), GetParam().complete);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CompleteUtf8LengthTest,
    ::testing::Values(SplitCase{"Empty", "", 0}, SplitCase{"Ascii", "cannot read", 11},
                      // "Δ" is CE 94, "数" E6 95 B0, U+1F600 F0 9F 98 80.
                      SplitCase{"TwoByteWhole", "a\xCE\x94", 3},
                      SplitCase{"TwoByteCut", "a\xCE", 1},
                      SplitCase{"ThreeByteWhole", "\xE6\x95\xB0", 3},
                      SplitCase{"ThreeByteCutAfterOne", "ab\xE6", 2},
                      SplitCase{"ThreeByteCutAfterTwo", "ab\xE6\x95", 2},
                      SplitCase{"FourByteWhole", "\xF0\x9F\x98\x80", 4},
                      SplitCase{"FourByteCutAfterThree", "x\xF0\x9F\x98", 1},
                      SplitCase{"WholeThenCut", "\xCE\x94\xCE\xB5\xE6", 4},
                      // Invalid bytes are passed on rather than held back for ever.
                      SplitCase{"LoneContinuations", "a\x80\x80\x80\x80", 5},
                      SplitCase{"InvalidLead", "a\xFF", 2},
                      SplitCase{"OnlyContinuation", "\x80", 1}),
    testing::CaseName{});

}  // namespace
}  // namespace dsf2vemo::cli
