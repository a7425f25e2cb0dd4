// What the main window hands its results pane, and the cursor meanwhile: the pane's text stays the
// echo of the core, widened as the system widens it, for files of every kind and size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "diagnosis.h"
#include "dsf_builder.h"
#include "dsf_reader.h"
#include "form1_fixture.h"
#include "garbage_dsf.h"
#include "pane_hand_over.h"
#include "pane_text.h"
#include "text_encoding.h"

namespace dsf2vemo::testing {
namespace {

using tools::PaneHandOverWatch;

// The echo of `bytes` with its Warnings block, as the core makes it for the pane, widened whole
// by the system with each NUL as U+2400.
std::wstring EchoAsShown(const std::vector<std::byte>& bytes, const std::string& decimal) {
    TextPane echo(decimal);
    const DsfFile file = ParseDsfFile(bytes, echo);
    AppendWarnings(echo, Diagnose(file, {decimal}));
    std::wstring wide = gui::AnsiToWide(echo.Text());
    gui::ReplaceNuls(wide);
    return wide;
}

struct ShownCase {
    std::string name;
    std::vector<std::byte> bytes;
    Separators separators;
    // Kept from the control, which under Wine takes minutes over a million characters in lines of
    // thousands.
    bool swallow;
    // The control makes a paragraph of each lone CR or LF: read back only texts without them.
    bool read_back;
    std::size_t at_least;  // characters the echo must have for the case to mean what it says
};

class PaneShowsTest : public Form1Fixture, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(PaneShowsTest, TheEchoAsTheSystemWidensIt) {
    const ShownCase& c = GetParam();
    module_.separators = c.separators;
    WriteFileBytes(File(L"shown.dsf"), c.bytes);
    const std::wstring expected = EchoAsShown(c.bytes, c.separators.decimal);
    ASSERT_GE(expected.size(), c.at_least);

    PaneHandOverWatch watch({.swallow = c.swallow, .keep_text = true});
    Input(File(L"shown.dsf"));
    EXPECT_TRUE(box_.shown.empty());
    ASSERT_EQ(watch.HandOvers().size(), 1u);
    // Not EXPECT_EQ, which would print megabytes.
    EXPECT_TRUE(watch.HandOvers()[0].text == expected);
    if (c.read_back) {
        EXPECT_TRUE(PaneText() == expected) << "the control shows what it was handed";
    }
}

MomentData WithOddNames() {
    return {2, 2, {std::string("A\0B", 3), "H\xF6he"}, {1, 0.5, 5000}, {-0.0004, 1234.5}};
}

INSTANTIATE_TEST_SUITE_P(
    Files, PaneShowsTest,
    ::testing::Values(
        // Appends past character 999,999 still land at the end, as the core's echo has them.
        ShownCase{"past_999999_characters", BuildDsf(SyntheticMomentData(600), "LARGE"),
                  Separators{",", "."}, true, false, 1'000'001},
        ShownCase{"a_hundred_variables_through_the_control",
                  BuildDsf(SyntheticMomentData(100), "HUNDRED"), Separators{",", "."}, false, true,
                  30'000},
        ShownCase{"decimal_comma", BuildDsf(SyntheticMomentData(30), "KOMMA"), Separators{";", ","},
                  false, true, 2'000},
        ShownCase{"nul_and_1252_letters_and_warnings",
                  BuildDsf(WithOddNames(), std::string("HEAD\0ER\xE9", 8)), Separators{",", "."},
                  false, true, 100},
        // Random names hold NULs and lone line ends, which the control makes paragraphs of.
        ShownCase{"random_bytes", GarbageDsf(30), Separators{",", "."}, false, false, 10'000}),
    CaseName());

// The wait cursor while the control takes a text; afterwards, and in an error box, the cursor
// there was (the arrow if there was none).
struct CursorCase {
    std::string name;
    std::vector<std::byte> bytes;
    bool convert;           // Convert to Mplus shows the pane again, with the renamings
    const wchar_t* before;  // a system cursor, or none
    const wchar_t* after;
};

class PaneCursorTest : public Form1Fixture, public ::testing::WithParamInterface<CursorCase> {};

TEST_P(PaneCursorTest, WaitCursorOnlyWhileThePaneTakesTheText) {
    const CursorCase& c = GetParam();
    const auto cursor = [](const wchar_t* id) { return id ? LoadCursorW(nullptr, id) : nullptr; };
    WriteFileBytes(File(L"in.dsf"), c.bytes);
    if (c.convert) {
        Input(File(L"in.dsf"));
        Output(File(L"out.inp"));
    }
    HCURSOR in_box = nullptr;
    box_.while_open = [&in_box] { in_box = GetCursor(); };
    PaneHandOverWatch watch({});
    SetCursor(cursor(c.before));
    c.convert ? Click(gui::IDC_cmdConvert) : Input(File(L"in.dsf"));
    ASSERT_EQ(watch.HandOvers().size(), 1u);
    EXPECT_EQ(watch.HandOvers()[0].cursor, cursor(IDC_WAIT));
    EXPECT_EQ(GetCursor(), cursor(c.after));
    EXPECT_EQ(in_box, box_.shown.empty() ? nullptr : cursor(c.after));
}

INSTANTIATE_TEST_SUITE_P(
    Roads, PaneCursorTest,
    ::testing::Values(
        CursorCase{"read", DemoBytes(), false, IDC_CROSS, IDC_CROSS},
        CursorCase{"read_with_no_cursor_before", DemoBytes(), false, nullptr, IDC_ARROW},
        CursorCase{"failed_read_and_its_box", TruncatedDemoBytes(), false, IDC_CROSS, IDC_CROSS},
        CursorCase{"convert", BuildDsf({9, 2, {"a b", "OK"}, {2, 0.5, 2}, {1, 2}}), true, IDC_CROSS,
                   IDC_CROSS}),
    CaseName());

// Where the echo and its warnings no longer fit the pane: a note of their size, each side of it.
struct FitCase {
    std::string name;
    bool room_for_echo_alone;  // the pane holds the echo, else the echo with its warnings
    std::ptrdiff_t more;       // characters beyond that
    bool shown;
};

class PaneFitTest : public Form1Fixture, public ::testing::WithParamInterface<FitCase> {};

TEST_P(PaneFitTest, ShowsTheEchoWithItsWarningsOrANoteOfTheirSize) {
    const FitCase& c = GetParam();
    // Two cases for two variables: a Warnings block after the echo.
    const std::vector<std::byte> bytes = BuildDsf({2, 2, {"X", "Y"}, {1, 0.5, 2}, {0, 0}}, "FIT");
    const std::wstring whole = EchoAsShown(bytes, ".");
    TextPane echo;
    ParseDsf(bytes, echo);
    ASSERT_GT(whole.size(), echo.Text().size() + 1) << "the case needs warnings";
    const std::size_t room = c.room_for_echo_alone ? echo.Text().size() : whole.size();
    form_.LimitPaneText(static_cast<std::size_t>(static_cast<std::ptrdiff_t>(room) + c.more));
    WriteFileBytes(File(L"fit.dsf"), bytes);
    Input(File(L"fit.dsf"));
    if (c.shown) {
        EXPECT_EQ(PaneText(), whole);
    } else {
        // An echo the pane keeps is counted with its warnings; one it can't keep, alone.
        const std::size_t counted =
            c.room_for_echo_alone && c.more < 0 ? echo.Text().size() : whole.size();
        EXPECT_EQ(PaneText(), L"The echo of this file, " + std::to_wstring(counted) +
                                  L" characters, is too large to show here.");
    }
    EXPECT_TRUE(ConvertEnabled());
}

INSTANTIATE_TEST_SUITE_P(Limits, PaneFitTest,
                         ::testing::Values(FitCase{"room_for_all", false, 0, true},
                                           FitCase{"one_short_of_all", false, -1, false},
                                           FitCase{"room_for_the_echo_alone", true, 0, false},
                                           FitCase{"one_short_of_the_echo", true, -1, false}),
                         CaseName());

}  // namespace
}  // namespace dsf2vemo::testing
