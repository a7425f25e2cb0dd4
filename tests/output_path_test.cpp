// The two rules both front ends share: the proposed output name and "is this the input file?".
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "dsf_builder.h"
#include "output_format.h"
#include "output_path.h"
#include "output_target.h"
#include "temp_dir.h"

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;

TEST(OutputPathTest, DefaultIsTheInputsFolderAndNameUpToTheLastDotWithTxt) {
    const std::vector<std::pair<fs::path, fs::path>> cases = {
#ifdef _WIN32
        {R"(C:\data\my.study.final.dsf)", R"(C:\data\my.study.final.txt)"},
        {R"(C:\my.data\study)", R"(C:\my.data\study.txt)"},
        {R"(C:\study.dsf)", R"(C:\study.txt)"},
        {"C:/data/study.dsf", R"(C:\data\study.txt)"},
        {R"(\\server\share\a.b)", R"(\\server\share\a.txt)"}};
#else
        {"/data/my.study.final.dsf", "/data/my.study.final.txt"},
        {"/my.data/study", "/my.data/study.txt"},
        {"/study.dsf", "/study.txt"},
        {R"(/data/a\b.dsf)", R"(/data/a\b.txt)"}};
#endif
    for (const auto& [input, output] : cases) {
        EXPECT_EQ(DefaultOutputPath(input), output) << input;
    }
    EXPECT_EQ(DefaultOutputPath("study.dsf"), fs::current_path() / "study.txt");
}

TEST(OutputPathTest, NameAloneKeepsTheNameUpToTheLastDotWithTheFormatsExtension) {
    const struct {
        const char* input;
        OutputFormat format;
        const char* output;
    } cases[] = {{"study.dsf", OutputFormat::Vemo, "study.txt"},
                 {"my.study.final.dsf", OutputFormat::Json, "my.study.final.json"},
                 {"study", OutputFormat::Mplus, "study.inp"},
                 {"a\\b.c.dsf", OutputFormat::Vemo, "a\\b.c.txt"},
                 {".dsf", OutputFormat::Vemo, ".txt"}};
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultOutputName(c.input, c.format), c.output) << c.input;
    }
}

TEST(OutputPathTest, SameFileAsTheFileSystemSeesIt) {
    testing::TempDir dir;
    for (const char* name : {"a.dsf", "c.dsf", "b.txt", "A.DSF"}) {
        testing::WriteFileText(dir.Path() / name, name);
    }
    fs::create_hard_link(dir.Path() / "a.dsf", dir.Path() / "link.txt");
    struct {
        const char* input;
        const char* output;
        bool same;
    } const cases[] = {{"a.dsf", "a.dsf", true},
                       {"a.dsf", "b.txt", false},
                       {"a.dsf", "a.txt", false},
                       {"a.dsf", "sub/../a.dsf", true},
                       {"a.dsf", "link.txt", true},
                       // Not there yet, so only the names can tell: the careful answer.
                       {"c.dsf", "C.DSF", true},
                       {"abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", true},
                       // Only letters fold: these differ by the same bit as a letter's cases.
                       {"@.dsf", "`.dsf", false},
                       {"[.dsf", "{.dsf", false},
                       // Where both exist, the file system decides: Windows folds case.
                       {"a.dsf", "A.DSF", fs::path::preferred_separator == '\\'}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsSameFile(dir.Path() / c.input, dir.Path() / c.output), c.same) << c.output;
    }
}

}  // namespace
}  // namespace dsf2vemo
