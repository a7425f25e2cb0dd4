// The two rules both front ends share: the proposed output name and "is this the input file?".
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "case_name.h"
#include "dsf_builder.h"
#include "output_path.h"
#include "temp_dir.h"

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteFileText;

struct OutputNameCase {
    const char* name;
    const char* input;
    const char* output;
};

class DefaultOutputPathTest : public ::testing::TestWithParam<OutputNameCase> {};

TEST_P(DefaultOutputPathTest, IsTheInputsFolderAndNameWithTxt) {
    EXPECT_EQ(DefaultOutputPath(GetParam().input), fs::path(GetParam().output));
}

std::vector<OutputNameCase> OutputNameCases() {
#ifdef _WIN32
    return {OutputNameCase{"Plain", R"(C:\data\study.dsf)", R"(C:\data\study.txt)"},
            OutputNameCase{"SeveralDots", R"(C:\data\my.study.final.dsf)",
                           R"(C:\data\my.study.final.txt)"},
            OutputNameCase{"NoExtension", R"(C:\my.data\study)", R"(C:\my.data\study.txt)"},
            OutputNameCase{"RootFolder", R"(C:\study.dsf)", R"(C:\study.txt)"},
            OutputNameCase{"ForwardSlashes", "C:/data/study.dsf", R"(C:\data\study.txt)"},
            OutputNameCase{"Share", R"(\\server\share\a.b)", R"(\\server\share\a.txt)"}};
#else
    return {OutputNameCase{"Plain", "/data/study.dsf", "/data/study.txt"},
            OutputNameCase{"SeveralDots", "/data/my.study.final.dsf", "/data/my.study.final.txt"},
            OutputNameCase{"NoExtension", "/my.data/study", "/my.data/study.txt"},
            OutputNameCase{"RootFolder", "/study.dsf", "/study.txt"},
            OutputNameCase{"Backslash", R"(/data/a\b.dsf)", R"(/data/a\b.txt)"}};
#endif
}

INSTANTIATE_TEST_SUITE_P(Cases, DefaultOutputPathTest, ::testing::ValuesIn(OutputNameCases()),
                         testing::CaseName());

TEST(DefaultOutputPathTest, ARelativeInputIsTakenFromTheCurrentFolder) {
    EXPECT_EQ(DefaultOutputPath("study.dsf"), fs::current_path() / "study.txt");
}

struct SameFileCase {
    const char* name;
    const char* input;  // made as a file
    const char* output;
    enum { Missing, Exists, HardLink } output_kind;  // a hard link is to the input
    bool same;
};

class IsSameFileTest : public ::testing::TestWithParam<SameFileCase> {};

TEST_P(IsSameFileTest, AsTheFileSystemSeesIt) {
    const SameFileCase& c = GetParam();
    TempDir dir;
    const fs::path input = dir.Path() / c.input;
    const fs::path output = dir.Path() / c.output;
    WriteFileText(input, "input");
    if (c.output_kind == SameFileCase::Exists && !fs::exists(output)) {
        WriteFileText(output, "output");
    } else if (c.output_kind == SameFileCase::HardLink) {
        fs::create_hard_link(input, output);
    }
    EXPECT_EQ(IsSameFile(input, output), c.same);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsSameFileTest,
    ::testing::Values(SameFileCase{"SamePath", "a.dsf", "a.dsf", SameFileCase::Exists, true},
                      SameFileCase{"OtherFile", "a.dsf", "b.txt", SameFileCase::Exists, false},
                      SameFileCase{"NewFile", "a.dsf", "a.txt", SameFileCase::Missing, false},
                      SameFileCase{"DotDot", "a.dsf", "sub/../a.dsf", SameFileCase::Missing, true},
                      SameFileCase{"HardLink", "a.dsf", "b.txt", SameFileCase::HardLink, true},
                      // Not there yet, so only the names can tell: the careful answer.
                      SameFileCase{"CaseOfANewName", "a.dsf", "A.DSF", SameFileCase::Missing,
                                   true}),
    testing::CaseName());

#ifndef _WIN32
// Where both exist, the file system decides: on a case-sensitive one these are two files.
TEST(IsSameFileTest, TwoFilesDifferingInCaseAreTwoFiles) {
    TempDir dir;
    WriteFileText(dir.Path() / "a.dsf", "input");
    WriteFileText(dir.Path() / "A.DSF", "other");
    EXPECT_FALSE(IsSameFile(dir.Path() / "a.dsf", dir.Path() / "A.DSF"));
}
#endif

}  // namespace
}  // namespace dsf2vemo
