// The main window's failed reads and writes: what the box says, what the pane shows and that the
// target stays as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "case_name.h"
#include "dsf_builder.h"
#include "form1_fixture.h"

namespace dsf2vemo::testing {
namespace {

namespace fs = std::filesystem;

// Failed reads: the box with the new path and the reader's description, the pane with what was
// echoed up to the failure.
struct ReadFailureCase {
    std::string name;
    std::function<std::vector<std::byte>()> bytes;
    std::wstring description;
    std::wstring pane;
};

class Form1ReadFailureTest : public Form1Fixture,
                             public ::testing::WithParamInterface<ReadFailureCase> {};

TEST_P(Form1ReadFailureTest, ReportsAndShowsThePartialEcho) {
    const ReadFailureCase& c = GetParam();
    const fs::path input = File(L"bad.dsf");
    WriteFileBytes(input, c.bytes());
    Input(input);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text, L"An error occurred while trying to read the Prelis file,\r\n" +
                                      input.wstring() + L".\r\n\r\n(" + c.description + L")");
    EXPECT_EQ(box_.shown[0].caption, L"Error");
    EXPECT_EQ(box_.shown[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(PaneText(), c.pane);
    EXPECT_FALSE(ConvertEnabled());
}

const std::wstring kDemoHeaderLine = L"DEMO" + std::wstring(60, L' ');

INSTANTIATE_TEST_SUITE_P(
    Files, Form1ReadFailureTest,
    ::testing::Values(
        ReadFailureCase{"truncated", TruncatedDemoBytes,
                        L"the file is 100 bytes long, but a data system file with 2 variables "
                        L"needs 128 bytes",
                        kDemoHeaderLine + L"\r\n150 cases\r\n2 variables"},
        ReadFailureCase{"no_variables",
                        [] {
                            MomentData data;
                            data.CaseCount = 7;
                            return BuildDsf(data, "EMPTY");
                        },
                        L"the file declares 0 variables, but a data system file has at least 1",
                        L"EMPTY" + std::wstring(59, L' ') + L"\r\n7 cases\r\n0 variables"},
        ReadFailureCase{"header_cut_short",
                        [] {
                            std::vector<std::byte> bytes = DemoBytes();
                            bytes.resize(10);
                            return bytes;
                        },
                        L"the file is 10 bytes long, but a data system file needs at least 72 "
                        L"bytes for its header and counts",
                        L""}),
    CaseName());

// Failed writes: the box with the output path and why; nothing written.
struct WriteFailureCase {
    std::string name;
    std::wstring input_name;
    std::optional<std::wstring> output_name;  // chosen with Output, else the default
    std::function<void(const fs::path& output)> prepare;
    std::wstring description;
};

class Form1WriteFailureTest : public Form1Fixture,
                              public ::testing::WithParamInterface<WriteFailureCase> {};

TEST_P(Form1WriteFailureTest, ReportsAndLeavesTheTargetAlone) {
    const WriteFailureCase& c = GetParam();
    const fs::path input = File(c.input_name);
    WriteFileBytes(input, DemoBytes());
    Input(input);
    if (c.output_name) {
        Output(File(*c.output_name));
    }
    const fs::path output(Caption(gui::IDC_LabelOutput));
    c.prepare(output);
    const bool file = fs::is_regular_file(output);
    const std::string before = file ? ReadFileText(output) : std::string();
    ASSERT_TRUE(ConvertEnabled());
    Click(gui::IDC_cmdConvert);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text,
              L"An error occurred while trying to write the Vemo-compatible file,\r\n" +
                  output.wstring() + L".\r\n\r\n(" + c.description + L")");
    EXPECT_EQ(box_.shown[0].caption, L"Error");
    EXPECT_EQ(box_.shown[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    if (file) {
        fs::permissions(output, fs::perms::owner_write, fs::perm_options::add);
        EXPECT_EQ(ReadFileText(output), before);
    } else {
        EXPECT_TRUE(fs::is_directory(output));
    }
    EXPECT_TRUE(ConvertEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, Form1WriteFailureTest,
    ::testing::Values(
        WriteFailureCase{"read_only_target", L"demo.dsf", L"locked.txt",
                         [](const fs::path& output) {
                             WriteFileText(output, "keep me");
                             fs::permissions(output, fs::perms::owner_write,
                                             fs::perm_options::remove);
                         },
                         L"the file is read-only"},
        WriteFailureCase{"default_output_is_the_input", L"x.txt", std::nullopt,
                         [](const fs::path&) {},
                         L"it is the input file itself, and writing it would destroy the input"},
        WriteFailureCase{"chosen_output_is_the_input_in_other_case", L"study.dsf", L"STUDY.DSF",
                         [](const fs::path&) {},
                         L"it is the input file itself, and writing it would destroy the input"},
        WriteFailureCase{"folder_target", L"demo.dsf", L"folder.txt",
                         [](const fs::path& output) { fs::create_directory(output); },
                         L"it is a folder, not a file"}),
    CaseName());

}  // namespace
}  // namespace dsf2vemo::testing
