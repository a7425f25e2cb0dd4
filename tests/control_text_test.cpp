#include "control_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "case_name.h"

namespace dsf2vemo::gui {
namespace {

// Every byte to a character of its own, none equal to the byte: a byte taken from the wrong
// place, or not mapped, shows.
ByteMap<char16_t> Shifted() {
    ByteMap<char16_t> map{};
    for (std::size_t i = 0; i < map.size(); ++i) {
        map[i] = static_cast<char16_t>(0x100 + i);
    }
    return map;
}

TEST(MapToControlTextTest, MapsEveryByteOfEveryPieceInOrder) {
    std::string first;
    std::string second;
    for (int i = 0; i < 256; ++i) {
        (i < 100 ? first : second) += static_cast<char>(i);
    }
    const std::vector<std::string_view> pieces = {first, "", second};
    const ControlText<char16_t> out = MapToControlText<char16_t>(pieces, 0, Shifted());
    ASSERT_EQ(out.text.size(), 256u);
    for (std::size_t i = 0; i < 256; ++i) {
        EXPECT_EQ(out.text[i], static_cast<char16_t>(0x100 + i)) << "byte " << i;
    }
}

struct CaretCase {
    std::string name;
    std::vector<std::string_view> pieces;
    std::size_t caret;
    std::size_t expected;
};

class ControlCaretTest : public ::testing::TestWithParam<CaretCase> {};

TEST_P(ControlCaretTest, CountsEachLineEndBeforeTheCaretOnce) {
    const CaretCase& c = GetParam();
    EXPECT_EQ(MapToControlText<char16_t>(c.pieces, c.caret, Shifted()).caret, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Carets, ControlCaretTest,
    ::testing::Values(CaretCase{"start", {"ab\r\ncd"}, 0, 0},
                      CaretCase{"before_the_line_end", {"ab\r\ncd"}, 2, 2},
                      CaretCase{"between_cr_and_lf", {"ab\r\ncd"}, 3, 3},
                      CaretCase{"after_the_line_end", {"ab\r\ncd"}, 4, 3},
                      CaretCase{"at_the_end", {"ab\r\ncd\r\n"}, 8, 6},
                      CaretCase{"one_past_the_end_is_the_end", {"a\r\n"}, 4, 2},
                      CaretCase{"far_past_the_end_is_the_end", {"a\r\n"}, 999'999, 2},
                      CaretCase{"line_end_split_between_pieces", {"ab\r", "\ncd"}, 4, 3},
                      CaretCase{"caret_in_a_later_piece", {"x\r\n", "", "y\r\nz"}, 6, 4},
                      CaretCase{"cr_before_a_line_end", {"\r\r\n"}, 3, 2},
                      CaretCase{"lone_cr_and_lf_count_as_they_are", {"a\rb\nc"}, 5, 5},
                      CaretCase{"no_text", {"", ""}, 1, 0}),
    testing::CaseName());

}  // namespace
}  // namespace dsf2vemo::gui
