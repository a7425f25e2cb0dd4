#include "pane_text.h"

#include <gtest/gtest.h>

#include <string>

#include "case_name.h"

namespace dsf2vemo::gui {
namespace {

struct OffsetCase {
    std::string name;
    std::wstring text;
    std::size_t offset;
    std::size_t expected;
};

class RichEditOffsetTest : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(RichEditOffsetTest, CountsEachLineEndOnce) {
    EXPECT_EQ(RichEditOffset(GetParam().text, GetParam().offset), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, RichEditOffsetTest,
                         ::testing::Values(OffsetCase{"start", L"ab\r\ncd", 0, 0},
                                           OffsetCase{"after_first_character", L"ab\r\ncd", 1, 1},
                                           OffsetCase{"between_cr_and_lf", L"ab\r\ncd", 3, 3},
                                           OffsetCase{"after_line_end", L"ab\r\ncd", 4, 3},
                                           OffsetCase{"end", L"ab\r\ncd\r\n", 8, 6},
                                           OffsetCase{"beyond_the_end", L"a\r\n", 99, 2},
                                           OffsetCase{"lone_cr_and_lf_count_as_they_are",
                                                      L"a\rb\nc", 5, 5}),
                         testing::CaseName());

TEST(ReplaceNulsTest, ShowsEachNulAsItsSymbolAndKeepsTheRest) {
    std::wstring text(L"A\0B\0\0 \u00e9", 7);
    ReplaceNuls(text);
    EXPECT_EQ(text, L"A\u2400B\u2400\u2400 \u00e9");
}

}  // namespace
}  // namespace dsf2vemo::gui
