#include <gtest/gtest.h>

#include <richedit.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "case_name.h"
#include "dsf_builder.h"
#include "form1_fixture.h"
#include "text_data_writer.h"
#include "text_encoding.h"

namespace dsf2vemo::testing {
namespace {

namespace fs = std::filesystem;
using gui::ControlId;

std::wstring DataFileText(const char* name) {
    return gui::AnsiToWide(ReadFileText(fs::path(DSF2VEMO_TEST_DATA_DIR) / name));
}

TEST_F(Form1Fixture, ShowsItsCaptionsWithAccessKeys) {
    EXPECT_EQ(gui::WindowText(form_.Hwnd()), L"Convert from Prelis to Vemo");
    const std::vector<std::pair<ControlId, std::wstring>> captions = {
        {gui::IDC_cmdInput, L"&Input"},     {gui::IDC_cmdOutput, L"&Output"},
        {gui::IDC_cmdConvert, L"&Convert"}, {gui::IDC_cmdHelp, L"&Help"},
        {gui::IDC_cmdAbout, L"&About"},     {gui::IDC_LabelInput, L""},
        {gui::IDC_LabelOutput, L""},
    };
    for (const auto& [id, caption] : captions) {
        EXPECT_EQ(Caption(id), caption) << "control " << id;
    }
}

// The tab order is the order of the children; the pane stays last when a read replaces it.
std::vector<int> ChildOrder(HWND form) {
    std::vector<int> ids;
    for (HWND child = GetWindow(form, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ids.push_back(GetDlgCtrlID(child));
    }
    return ids;
}

TEST_F(Form1Fixture, KeepsTheTabOrderAcrossReads) {
    const std::vector<int> expected = {
        gui::IDC_cmdInput, gui::IDC_cmdOutput,  gui::IDC_cmdConvert,  gui::IDC_cmdHelp,
        gui::IDC_cmdAbout, gui::IDC_LabelInput, gui::IDC_LabelOutput, gui::IDC_RichTextBox1};
    EXPECT_EQ(ChildOrder(form_.Hwnd()), expected);
    WriteFileBytes(File(L"demo.dsf"), DemoBytes());
    Input(File(L"demo.dsf"));
    EXPECT_EQ(ChildOrder(form_.Hwnd()), expected);
}

// The window's states: which captions and whether Convert is enabled after each sequence of
// clicks. Paths are named symbolically and made in the test's folder.
enum class Step { GoodInput, OtherGoodInput, BrokenInput, CancelInput, ChooseOutput, CancelOutput };

struct StateCase {
    std::string name;
    std::vector<Step> clicks;
    std::wstring input;   // file name in the test folder, or empty
    std::wstring output;  // file name in the test folder, or empty
    bool convert_enabled;
    std::size_t error_boxes;
};

class Form1StateTest : public Form1Fixture, public ::testing::WithParamInterface<StateCase> {};

TEST_P(Form1StateTest, CaptionsAndConvert) {
    WriteFileBytes(File(L"good.dsf"), DemoBytes());
    WriteFileBytes(File(L"other.dsf"), BuildDsf(SyntheticMomentData(3)));
    WriteFileBytes(File(L"broken.dsf"), TruncatedDemoBytes());
    for (const Step step : GetParam().clicks) {
        switch (step) {
            case Step::GoodInput:
                Input(File(L"good.dsf"));
                break;
            case Step::OtherGoodInput:
                Input(File(L"other.dsf"));
                break;
            case Step::BrokenInput:
                Input(File(L"broken.dsf"));
                break;
            case Step::CancelInput:
                Input(std::nullopt);
                break;
            case Step::ChooseOutput:
                Output(File(L"chosen.txt"));
                break;
            case Step::CancelOutput:
                Output(std::nullopt);
                break;
        }
    }
    const StateCase& c = GetParam();
    const auto path_or_empty = [&](const std::wstring& name) {
        return name.empty() ? std::wstring() : File(name).wstring();
    };
    EXPECT_EQ(Caption(gui::IDC_LabelInput), path_or_empty(c.input));
    EXPECT_EQ(Caption(gui::IDC_LabelOutput), path_or_empty(c.output));
    EXPECT_EQ(ConvertEnabled(), c.convert_enabled);
    EXPECT_EQ(box_.shown.size(), c.error_boxes);
}

using enum Step;
INSTANTIATE_TEST_SUITE_P(
    Rows, Form1StateTest,
    ::testing::Values(
        StateCase{"start", {}, L"", L"", false, 0},
        StateCase{"input_chosen_and_read", {GoodInput}, L"good.dsf", L"good.txt", true, 0},
        StateCase{"output_before_any_input", {ChooseOutput}, L"", L"chosen.txt", false, 0},
        StateCase{
            "output_after_input", {GoodInput, ChooseOutput}, L"good.dsf", L"chosen.txt", true, 0},
        StateCase{"cancelled_dialogs_at_start", {CancelInput, CancelOutput}, L"", L"", false, 0},
        StateCase{"cancelled_input_changes_nothing",
                  {GoodInput, ChooseOutput, CancelInput},
                  L"good.dsf",
                  L"chosen.txt",
                  true,
                  0},
        StateCase{"cancelled_output_changes_nothing",
                  {GoodInput, CancelOutput},
                  L"good.dsf",
                  L"good.txt",
                  true,
                  0},
        StateCase{"input_after_output_replaces_the_output_name",
                  {ChooseOutput, GoodInput},
                  L"good.dsf",
                  L"good.txt",
                  true,
                  0},
        StateCase{"failed_read_keeps_new_names_and_disables_convert",
                  {GoodInput, BrokenInput},
                  L"broken.dsf",
                  L"broken.txt",
                  false,
                  1},
        StateCase{"output_after_failed_read_leaves_convert_disabled",
                  {GoodInput, BrokenInput, ChooseOutput},
                  L"broken.dsf",
                  L"chosen.txt",
                  false,
                  1},
        StateCase{"good_read_after_failed_one_enables_convert",
                  {BrokenInput, OtherGoodInput},
                  L"other.dsf",
                  L"other.txt",
                  true,
                  1}),
    CaseName());

TEST_F(Form1Fixture, OneDialogStateServesBothButtons) {
    WriteFileBytes(File(L"good.dsf"), DemoBytes());
    Input(File(L"good.dsf"));
    Output(File(L"chosen.txt"));
    Input(std::nullopt);
    Output(std::nullopt);
    ASSERT_EQ(dialog_.openings.size(), 4u);
    const std::wstring input_filter = L"Prelis Data System Files (*.dsf)|*.dsf";
    const std::wstring output_filter =
        L"Vemo text files (*.txt)|*.txt|JSON moments (*.json)|*.json|"
        L"Mplus summary data (*.inp)|*.inp";
    // Input presets no name: the first opening shows none, a later one the last name held.
    EXPECT_EQ(dialog_.openings[0].Filter, input_filter);
    EXPECT_EQ(dialog_.openings[0].Flags, 0x1804u);
    EXPECT_EQ(dialog_.openings[0].FileName, L"");
    EXPECT_EQ(dialog_.openings[1].Filter, output_filter);
    EXPECT_EQ(dialog_.openings[1].Flags, 0x804u);
    EXPECT_EQ(dialog_.openings[1].FileName, File(L"good.txt").wstring());
    EXPECT_EQ(dialog_.openings[2].Filter, input_filter);
    EXPECT_EQ(dialog_.openings[2].Flags, 0x1804u);
    EXPECT_EQ(dialog_.openings[2].FileName, File(L"chosen.txt").wstring());
    EXPECT_EQ(dialog_.openings[3].FileName, File(L"chosen.txt").wstring());
}

TEST_F(Form1Fixture, PaneShowsTheEchoWithTheCaretAfterTheFirstCharacter) {
    WriteFileBytes(File(L"demo.dsf"), DemoBytes());
    Input(File(L"demo.dsf"));
    EXPECT_EQ(PaneText(), DataFileText("demo_pane.txt"));
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Control(gui::IDC_RichTextBox1), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 1u);
    const auto options = SendMessageW(Control(gui::IDC_RichTextBox1), EM_GETOPTIONS, 0, 0);
    EXPECT_TRUE(options & ECO_READONLY);
    EXPECT_TRUE(box_.shown.empty());
}

TEST_F(Form1Fixture, SecondReadReplacesThePane) {
    WriteFileBytes(File(L"big.dsf"), BuildDsf(SyntheticMomentData(40), "BIG"));
    WriteFileBytes(File(L"demo.dsf"), DemoBytes());
    Input(File(L"big.dsf"));
    Input(File(L"demo.dsf"));
    EXPECT_EQ(PaneText(), DataFileText("demo_pane.txt"));
}

TEST_F(Form1Fixture, ConvertWritesTheTextDataFile) {
    WriteFileBytes(File(L"demo.dsf"), DemoBytes());
    Input(File(L"demo.dsf"));
    Click(gui::IDC_cmdConvert);
    EXPECT_EQ(ReadFileText(File(L"demo.txt")),
              ReadFileText(fs::path(DSF2VEMO_TEST_DATA_DIR) / "demo_comma.txt"));
    // Again, to a chosen name.
    Output(File(L"again.txt"));
    Click(gui::IDC_cmdConvert);
    EXPECT_EQ(ReadFileText(File(L"again.txt")), ReadFileText(File(L"demo.txt")));
    EXPECT_TRUE(box_.shown.empty());
}

// An echo the pane can't show costs neither the data nor Convert: a note of its size instead.
TEST_F(Form1Fixture, AnEchoTooLargeToShowLeavesTheReadConvertible) {
    const std::size_t echo_size = kDemoPane.size();
    form_.LimitPaneText(echo_size - 1);
    WriteFileBytes(File(L"demo.dsf"), DemoBytes());
    Input(File(L"demo.dsf"));
    EXPECT_EQ(PaneText(), L"The echo of this file, " + std::to_wstring(echo_size) +
                              L" characters, is too large to show here.");
    EXPECT_TRUE(box_.shown.empty());
    ASSERT_TRUE(ConvertEnabled());
    Click(gui::IDC_cmdConvert);
    EXPECT_EQ(ReadFileText(File(L"demo.txt")), kDemoComma);

    form_.LimitPaneText(echo_size);
    Input(File(L"demo.dsf"));
    EXPECT_EQ(PaneText(), DataFileText("demo_pane.txt"));
}

TEST_F(Form1Fixture, PathsOutsideTheAnsiCodePageWork) {
    const fs::path folder = File(L"\u03a9mega \u0434\u0430\u043d\u043d\u044b\u0435");
    fs::create_directory(folder);
    const fs::path input = folder / L"s\u00fc\u00df \u6570\u636e.dsf";
    WriteFileBytes(input, DemoBytes());
    Input(input);
    EXPECT_EQ(Caption(gui::IDC_LabelInput), input.wstring());
    EXPECT_EQ(PaneText(), DataFileText("demo_pane.txt"));
    Click(gui::IDC_cmdConvert);
    EXPECT_EQ(ReadFileText(folder / L"s\u00fc\u00df \u6570\u636e.txt"),
              ReadFileText(fs::path(DSF2VEMO_TEST_DATA_DIR) / "demo_comma.txt"));
    EXPECT_TRUE(box_.shown.empty());
}

TEST_F(Form1Fixture, PaneListsWarningsAfterTheEchoAndConvertStillWrites) {
    // Two cases for two variables, variances 5000 apart, a name with a 1252 letter ("Höhe").
    const MomentData data{2, 2, {"X", "H\xF6he"}, {1, 0.5, 5000}, {0, 0}};
    WriteFileBytes(File(L"odd.dsf"), BuildDsf(data, "ODD"));
    Input(File(L"odd.dsf"));
    EXPECT_EQ(PaneText(), L"ODD" + std::wstring(61, L' ') +
                              L"\r\n2 cases\r\n2 variables\r\nX, H\u00f6he\r\n\r\n"
                              L"Covariances\r\n 1.000\r\n .500 5000.000\r\n\r\nMeans\r\n .000 .000"
                              L"\r\n\r\nWarnings\r\n"
                              L"2 cases for 2 variables: the sample covariance matrix of no more "
                              L"cases than variables is singular\r\n"
                              L"the variances differ by a factor of 5000: the smallest is that of "
                              L"\"X\" (1), the largest that of \"H\u00f6he\" (5000)");
    DWORD start = 0;
    SendMessageW(Control(gui::IDC_RichTextBox1), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    EXPECT_EQ(start, 1u);
    ASSERT_TRUE(ConvertEnabled());
    Click(gui::IDC_cmdConvert);
    EXPECT_EQ(ReadFileText(File(L"odd.txt")), FormatTextData(data, module_.separators));
    EXPECT_TRUE(box_.shown.empty());
}

}  // namespace
}  // namespace dsf2vemo::testing
