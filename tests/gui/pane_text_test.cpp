#include "pane_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "case_name.h"
#include "wide_text.h"

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

// The pane's text as it was made before it was made in one pass: the pieces joined, converted
// whole by the system, each NUL replaced, the caret converted with the text before it.
ControlText<wchar_t> ConvertedWhole(const std::vector<std::string_view>& pieces, std::size_t caret,
                                    unsigned code_page) {
    std::string joined;
    for (const std::string_view piece : pieces) {
        joined.append(piece);
    }
    ControlText<wchar_t> out{WideFromCodePage(code_page, joined), 0};
    const std::size_t wide_caret =
        caret >= joined.size() ? out.text.size()
                               : WideFromCodePage(code_page, joined.substr(0, caret)).size();
    ReplaceNuls(out.text);
    out.caret = RichEditOffset(out.text, wide_caret);
    return out;
}

struct PaneTextCase {
    std::string name;
    unsigned code_page;
    std::vector<std::string_view> pieces;
    std::size_t caret;
};

class PaneControlTextTest : public ::testing::TestWithParam<PaneTextCase> {};

TEST_P(PaneControlTextTest, IsTheTextConvertedWhole) {
    const PaneTextCase& c = GetParam();
    const ControlText<wchar_t> expected = ConvertedWhole(c.pieces, c.caret, c.code_page);
    const ControlText<wchar_t> text = PaneControlText(c.pieces, c.caret, c.code_page);
    EXPECT_EQ(text.text, expected.text);
    EXPECT_EQ(text.caret, expected.caret);
}

const std::string every_byte = [] {
    std::string bytes;
    for (int i = 0; i < 256; ++i) {
        bytes += static_cast<char>(i);
    }
    return bytes;
}();
// Shift JIS: 0x82 0xA0 is one character (a hiragana); a NUL stays a NUL.
const std::string shift_jis(std::string_view("A\x82\xA0\r\n\0B", 7));

INSTANTIATE_TEST_SUITE_P(
    CodePages, PaneControlTextTest,
    ::testing::Values(
        PaneTextCase{"every_byte_in_the_ansi_code_page", CP_ACP, {every_byte, "\r\n"}, 999'999},
        PaneTextCase{"every_byte_in_1251", 1251, {every_byte}, 20},
        PaneTextCase{"echo_and_warnings", CP_ACP, {"H\xF6he\r", "\n\r\nWarnings"}, 7},
        PaneTextCase{"two_byte_characters_before_the_caret", 932, {shift_jis}, 5},
        PaneTextCase{"two_byte_characters_caret_at_the_end", 932, {shift_jis, "x"}, 8},
        PaneTextCase{"utf8_split_between_pieces", CP_UTF8, {"\xC3", "\xA9\r\n\xE2\x82\xAC"}, 4}),
    testing::CaseName());

// Where the caret lands, as the control counts: each CR LF before it once.
INSTANTIATE_TEST_SUITE_P(
    Carets, PaneControlTextTest,
    ::testing::Values(PaneTextCase{"at_the_start", 1252, {"ab\r\ncd"}, 0},
                      PaneTextCase{"before_a_line_end", 1252, {"ab\r\ncd"}, 2},
                      PaneTextCase{"between_cr_and_lf", 1252, {"ab\r\ncd"}, 3},
                      PaneTextCase{"after_a_line_end", 1252, {"ab\r\ncd"}, 4},
                      PaneTextCase{"at_the_end", 1252, {"ab\r\ncd\r\n"}, 8},
                      PaneTextCase{"one_past_the_end", 1252, {"a\r\n"}, 4},
                      PaneTextCase{"line_end_split_between_pieces", 1252, {"ab\r", "\ncd"}, 4},
                      PaneTextCase{"in_a_later_piece", 1252, {"x\r\n", "", "y\r\nz"}, 6},
                      PaneTextCase{"cr_before_a_line_end", 1252, {"\r\r\n"}, 3},
                      PaneTextCase{"lone_cr_and_lf", 1252, {"a\rb\nc"}, 5},
                      PaneTextCase{"no_text", 1252, {"", ""}, 1}),
    testing::CaseName());

}  // namespace
}  // namespace dsf2vemo::gui
