// The Output dialog's types and the formats Convert writes from the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "case_name.h"
#include "dsf_builder.h"
#include "form1_fixture.h"

namespace dsf2vemo::testing {
namespace {

namespace fs = std::filesystem;

struct TypeCase {
    const char* name;
    std::wstring typed;
    DWORD picked_type;
    std::wstring caption;  // the name in the test's folder
    // Files Convert writes besides the input, with how each begins.
    std::vector<std::pair<std::wstring, std::string>> files;
    DWORD reopened_type;  // the type the dialog opens on with that name
};

class OutputTypeTest : public Form1Fixture, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(OutputTypeTest, ExtensionDecidesAndPickedTypeCompletesIt) {
    const TypeCase& c = GetParam();
    WriteFileBytes(File(L"demo.dsf"), BuildDsf(DemoMomentData(), kDemoHeader));
    Input(File(L"demo.dsf"));
    dialog_.AnswerWithType(File(c.typed).wstring(), c.picked_type);
    Click(gui::IDC_cmdOutput);
    EXPECT_EQ(Caption(gui::IDC_LabelOutput), File(c.caption).wstring());
    Click(gui::IDC_cmdConvert);
    EXPECT_TRUE(box_.shown.empty())
        << (box_.shown.empty() ? "" : fs::path(box_.shown[0].text).string());
    std::vector<std::pair<std::wstring, std::string>> files;
    for (const auto& entry : fs::directory_iterator(temp_.Path())) {
        if (entry.path().filename() != L"demo.dsf") {
            files.emplace_back(entry.path().filename().wstring(),
                               ReadFileText(entry.path()).substr(0, 6));
        }
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, c.files);

    // The dialog opens on the type of the name it shows.
    Output(std::nullopt);
    ASSERT_EQ(dialog_.openings.size(), 3u);
    EXPECT_EQ(dialog_.openings[1].FilterIndex, 1u);
    EXPECT_EQ(dialog_.openings[2].FilterIndex, c.reopened_type);
}

INSTANTIATE_TEST_SUITE_P(
    Types, OutputTypeTest,
    ::testing::Values(
        TypeCase{"VemoTypeAddsTxt", L"study", 1, L"study.txt", {{L"study.txt", "rowtyp"}}, 1},
        TypeCase{"JsonTypeAddsJson", L"study", 2, L"study.json", {{L"study.json", "{\n  \"h"}}, 2},
        TypeCase{"MplusTypeAddsInpAndWritesTwoFiles",
                 L"study",
                 3,
                 L"study.inp",
                 {{L"study.dat", "10 20."}, {L"study.inp", "! Writ"}},
                 3},
        TypeCase{"TypedExtensionWinsOverType",
                 L"study.JSON",
                 1,
                 L"study.JSON",
                 {{L"study.JSON", "{\n  \"h"}},
                 2},
        TypeCase{
            "OtherExtensionIsVemo", L"study.out", 2, L"study.out", {{L"study.out", "rowtyp"}}, 1}),
    CaseName());

TEST_F(Form1Fixture, MplusRenamingsJoinTheWarningsOnce) {
    WriteFileBytes(File(L"names.dsf"),
                   BuildDsf({9, 2, {"a b", "OK"}, {2, 0.5, 2}, {1, 2}}, "NAMES"));
    Input(File(L"names.dsf"));
    EXPECT_EQ(PaneText().find(L"Warnings"), std::wstring::npos);
    Output(File(L"names.inp"));
    Click(gui::IDC_cmdConvert);
    Click(gui::IDC_cmdConvert);
    EXPECT_TRUE(PaneText().ends_with(L"\r\n\r\nWarnings\r\n1 name renamed for Mplus: V1 = \"a b\""))
        << "the pane holds the renaming once, at the end of the Warnings block";
    EXPECT_NE(ReadFileText(File(L"names.inp")).find("NAMES = V1 OK;\r\n! V1 = \"a b\""),
              std::string::npos);
    EXPECT_TRUE(box_.shown.empty());
}

TEST_F(Form1Fixture, JsonRefusalUsesTheWriteFailureMessage) {
    WriteFileBytes(File(L"nan.dsf"),
                   BuildDsf({9, 1, {"A"}, {std::numeric_limits<double>::quiet_NaN()}, {1}}, "N"));
    Input(File(L"nan.dsf"));
    Output(File(L"nan.json"));
    box_.shown.clear();
    Click(gui::IDC_cmdConvert);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text,
              L"An error occurred while trying to write the Vemo-compatible file,\r\n" +
                  File(L"nan.json").wstring() +
                  L".\r\n\r\n(covariance (1, 1) is NaN, which JSON can't hold)");
    EXPECT_FALSE(fs::exists(File(L"nan.json")));
}

}  // namespace
}  // namespace dsf2vemo::testing
