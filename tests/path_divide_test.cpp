#include <gtest/gtest.h>

#include <string>

#include "path_divide.h"

namespace dsf2vemo {
namespace {

struct PathCase {
    const char* path;
    const char* directory;
    const char* name_only;
    const char* extension;
    const char* name_plus_extension;
};

class PathDivideTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathDivideTest, SplitsIntoDirectoryNameAndExtension) {
    const PathCase& c = GetParam();
    BasicPathDivide<char> divide;
    divide.Init(c.path);
    EXPECT_EQ(divide.FullPath(), c.path);
    EXPECT_EQ(divide.Directory(), c.directory);
    EXPECT_EQ(divide.NameOnly(), c.name_only);
    EXPECT_EQ(divide.Extension(), c.extension);
    EXPECT_EQ(divide.NamePlusExtension(), c.name_plus_extension);

    // The wide-character splitter the window uses gives the same parts.
    const std::string path = c.path;
    CPathDivide wide;
    wide.Init(std::wstring(path.begin(), path.end()));
    const std::string directory = c.directory;
    EXPECT_EQ(wide.Directory(), std::wstring(directory.begin(), directory.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathDivideTest,
    ::testing::Values(PathCase{R"(C:\data\study.dsf)", R"(C:\data)", "study", "dsf", "study.dsf"},
                      PathCase{R"(C:\study.dsf)", "C:", "study", "dsf", "study.dsf"},
                      PathCase{R"(C:\my.data\study)", R"(C:\my.data)", "study", "", "study."},
                      PathCase{R"(C:\data\my.study.final.dsf)", R"(C:\data)", "my.study.final",
                               "dsf", "my.study.final.dsf"},
                      PathCase{R"(C:\data\study.)", R"(C:\data)", "study", "", "study."},
                      PathCase{R"(C:\data\.profile)", R"(C:\data)", "", "profile", ".profile"},
                      PathCase{R"(C:\data\)", R"(C:\data)", "", "", "."},
                      PathCase{R"(\study.dsf)", "", "study", "dsf", "study.dsf"},
                      PathCase{"study.dsf", "", "study", "dsf", "study.dsf"},
                      PathCase{"", "", "", "", "."},
                      PathCase{R"(\\server\share\a.b)", R"(\\server\share)", "a", "b", "a.b"},
                      // Only the backslash separates: a forward slash is part of the name.
                      PathCase{"C:/data/x.dsf", "", "C:/data/x", "dsf", "C:/data/x.dsf"}));

TEST(PathDivideTest, InitReplacesEverything) {
    BasicPathDivide<char> divide;
    divide.Init(R"(C:\data\study.dsf)");
    divide.Init("plain");
    EXPECT_EQ(divide.Directory(), "");
    EXPECT_EQ(divide.NameOnly(), "plain");
    EXPECT_EQ(divide.Extension(), "");
}

TEST(PathDivideTest, LongPathsNeedNoSixteenBitPositions) {
    const std::string directory = std::string(40000, 'd');
    BasicPathDivide<char> divide;
    divide.Init(directory + "\\" + std::string(33000, 'n') + ".dsf");
    EXPECT_EQ(divide.Directory().size(), 40000u);
    EXPECT_EQ(divide.NameOnly().size(), 33000u);
    EXPECT_EQ(divide.Extension(), "dsf");
}

TEST(PathDivideTest, SeparatorCanBeTheNativeOne) {
    BasicPathDivide<char> divide('/');
    divide.Init("/home/user/my.study.dsf");
    EXPECT_EQ(divide.Directory(), "/home/user");
    EXPECT_EQ(divide.NameOnly(), "my.study");
}

struct InstrCase {
    const char* text;
    const char* search;
    std::size_t expected;
};

class ReverseInstrTest : public ::testing::TestWithParam<InstrCase> {};

TEST_P(ReverseInstrTest, FindsTheLastOccurrence) {
    const InstrCase& c = GetParam();
    EXPECT_EQ(ReverseInstr(std::string_view(c.text), std::string_view(c.search)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReverseInstrTest,
                         ::testing::Values(InstrCase{"abcabc", "BC", 5}, InstrCase{"abcabc", "", 0},
                                           InstrCase{"", "a", 0}, InstrCase{"ab", "abc", 0},
                                           InstrCase{"abc", "abc", 1}, InstrCase{"a.b.c", ".", 4},
                                           InstrCase{"xyz", "q", 0}, InstrCase{"aaaa", "AA", 3}));

}  // namespace
}  // namespace dsf2vemo
