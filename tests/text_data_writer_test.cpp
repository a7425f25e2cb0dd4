#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>

#include "case_name.h"
#include "conversion_error.h"
#include "dsf_builder.h"
#include "temp_dir.h"
#include "text_data_writer.h"
#include "write_output.h"

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;
using testing::DemoMomentData;
using testing::ReadFileText;
using testing::TempDir;
using testing::WriteFileText;

using testing::kDemoComma;

struct FormatCase {
    const char* name;
    MomentData data;
    Separators separators;
    std::string expected;
};

class FormatTextDataTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTextDataTest, WritesTheTable) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatTextData(c.data, c.separators), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatTextDataTest,
    ::testing::Values(
        FormatCase{"CommaAndPoint", DemoMomentData(), {",", "."}, kDemoComma},
        FormatCase{"SemicolonAndComma",
                   DemoMomentData(),
                   {";", ","},
                   "rowtype_;varname_;X1;X2\r\nn;;150;150\r\ncov;X1;1,5\r\ncov;X2;0,3;2,25\r\n"
                   "mean;;10;20,5\r\n"},
        FormatCase{"SeveralCharacterSeparator",
                   DemoMomentData(),
                   {"<|>", "."},
                   "rowtype_<|>varname_<|>X1<|>X2\r\nn<|><|>150<|>150\r\ncov<|>X1<|>1.5\r\n"
                   "cov<|>X2<|>0.3<|>2.25\r\nmean<|><|>10<|>20.5\r\n"},
        FormatCase{"NameStartingWithPartOfSelfOverlappingSeparator",
                   {1, 2, {"A", "|B"}, {1, 2, 3}, {4, 5}},
                   {"||", "."},
                   "rowtype_||varname_||A|||B\r\nn||||1||1\r\ncov||A||1\r\ncov|||B||2||3\r\n"
                   "mean||||4||5\r\n"},
        FormatCase{"OneVariable",
                   {7, 1, {"A"}, {0.5}, {-2}},
                   {",", "."},
                   "rowtype_,varname_,A\r\nn,,7\r\ncov,A,0.5\r\nmean,,-2\r\n"},
        FormatCase{"EmptyName",
                   {7, 1, {""}, {1}, {2}},
                   {",", "."},
                   "rowtype_,varname_,\r\nn,,7\r\ncov,,1\r\nmean,,2\r\n"},
        FormatCase{"NegativeCases",
                   {-5, 2, {"A", "B"}, {1, 2, 3}, {4, 5}},
                   {",", "."},
                   "rowtype_,varname_,A,B\r\nn,,-5,-5\r\ncov,A,1\r\ncov,B,2,3\r\nmean,,4,5\r\n"},
        FormatCase{"NoVariables", {}, {";", ","}, "rowtype_;varname_\r\nn;\r\nmean;\r\n"},
        FormatCase{"NonFinite",
                   {1,
                    1,
                    {"A"},
                    {std::numeric_limits<double>::quiet_NaN()},
                    {-std::numeric_limits<double>::infinity()}},
                   {",", "."},
                   "rowtype_,varname_,A\r\nn,,1\r\ncov,A,NaN\r\nmean,,-Inf\r\n"},
        FormatCase{"HighBitName",
                   {1, 1, {"\xC4rger"}, {1}, {2}},
                   {",", "."},
                   "rowtype_,varname_,\xC4rger\r\nn,,1\r\ncov,\xC4rger,1\r\nmean,,2\r\n"}),
    testing::CaseName());

TEST(FormatTextDataTest, DemoIs81Bytes) {
    EXPECT_EQ(FormatTextData(DemoMomentData(), {",", "."}).size(), 81u);
}

TEST(FormatTextDataTest, LargeTableHasOneLinePerVariablePlusThree) {
    const MomentData data = testing::SyntheticMomentData(60);
    const std::string text = FormatTextData(data, {";", ","});
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 63u);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

struct RefusalCase {
    const char* name;
    MomentData data;
    Separators separators;
    std::string message;
};

class FormatRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(FormatRefusalTest, RefusesWhatWouldReadBackWrongly) {
    const RefusalCase& c = GetParam();
    try {
        FormatTextData(c.data, c.separators);
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.Kind(), ErrorKind::Refused);
        EXPECT_EQ(std::string(error.what()), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatRefusalTest,
    ::testing::Values(
        RefusalCase{"NameWithSeparator",
                    {1, 2, {"A", "B,C"}, {1, 2, 3}, {4, 5}},
                    {",", "."},
                    "the name of variable 2, \"B,C\", contains the list separator \",\", so its "
                    "columns would shift"},
        // Names are Windows-1252 (the ANSI code page) in the file; messages are UTF-8.
        RefusalCase{
            "HighBitNameShownAsUtf8",
            {1, 2, {"A", "\xF6,\x80"}, {1, 2, 3}, {4, 5}},
            {",", "."},
            "the name of variable 2, \"\xC3\xB6,\xE2\x82\xAC\", contains the list separator "
            "\",\", so its columns would shift"},
        RefusalCase{"NameEndingInPartOfSelfOverlappingSeparator",
                    {1, 2, {"A|", "B"}, {1, 2, 3}, {4, 5}},
                    {"||", "."},
                    "the name of variable 1, \"A|\", ends in part of the list separator \"||\", "
                    "so its columns would shift"},
        RefusalCase{"NameWithCarriageReturn",
                    {1, 1, {"A\rB"}, {1}, {2}},
                    {",", "."},
                    "the name of variable 1 contains a line end, which would break the file's "
                    "lines"},
        RefusalCase{"NameWithLineFeed",
                    {1, 1, {"A\nB"}, {1}, {2}},
                    {";", ","},
                    "the name of variable 1 contains a line end, which would break the file's "
                    "lines"},
        RefusalCase{"SameSeparators",
                    DemoMomentData(),
                    {",", ","},
                    "the list separator \",\" and the decimal separator \",\" share a character, "
                    "so every number would split into extra columns"},
        RefusalCase{"OverlappingSeparators",
                    DemoMomentData(),
                    {";.", "."},
                    "the list separator \";.\" and the decimal separator \".\" share a character, "
                    "so every number would split into extra columns"},
        RefusalCase{"EmptyListSeparator",
                    DemoMomentData(),
                    {"", "."},
                    "the list separator is empty, so the fields would run together"},
        RefusalCase{
            "EmptyDecimalSeparator", DemoMomentData(), {",", ""}, "the decimal separator is empty"},
        RefusalCase{"SeparatorWithLineEnd",
                    DemoMomentData(),
                    {"\n", "."},
                    "a separator holds a line end, which would break the file's lines"},
        RefusalCase{"DigitAsDecimalSeparator",
                    DemoMomentData(),
                    {"|", "0"},
                    "the separator \"0\" holds \"0\", which numbers or the fixed words of the "
                    "file contain, so they would read back wrongly"},
        RefusalCase{"ExponentLetterInListSeparator",
                    DemoMomentData(),
                    {"<E>", "."},
                    "the separator \"<E>\" holds \"E\", which numbers or the fixed words of the "
                    "file contain, so they would read back wrongly"},
        RefusalCase{"MinusAsListSeparator",
                    DemoMomentData(),
                    {"-", "."},
                    "the separator \"-\" holds \"-\", which numbers or the fixed words of the "
                    "file contain, so they would read back wrongly"},
        RefusalCase{"UnderscoreAsListSeparator",
                    DemoMomentData(),
                    {"_", "."},
                    "the separator \"_\" holds \"_\", which numbers or the fixed words of the "
                    "file contain, so they would read back wrongly"},
        RefusalCase{"MissingMeans",
                    {1, 2, {"A", "B"}, {1, 2, 3}, {4}},
                    {",", "."},
                    "the moment data is incomplete: 2 variables, but 2 names, 3 covariances and "
                    "1 means"},
        RefusalCase{"ArraysOfAnEarlierFile",
                    {1, 3, {"A", "B"}, {1, 2, 3}, {4, 5}},
                    {",", "."},
                    "the moment data is incomplete: 3 variables, but 2 names, 3 covariances and "
                    "2 means"}),
    testing::CaseName());

TEST(WriteTextDataTest, WritesTheFileAndReplacesAnOldOneWhole) {
    TempDir dir;
    const fs::path path = dir.Path() / "out.txt";
    WriteFileText(path, std::string(5000, 'x'));
    WriteTextData(path, DemoMomentData(), {",", "."});
    EXPECT_EQ(ReadFileText(path), kDemoComma);
    WriteTextData(path, DemoMomentData(), {",", "."});
    EXPECT_EQ(ReadFileText(path), kDemoComma);
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(WriteTextDataTest, WritesEveryBlockOfALargeFileOnce) {
    TempDir dir;
    const fs::path path = dir.Path() / "large.txt";
    const MomentData data = testing::SyntheticMomentData(700);
    const std::string expected = FormatTextData(data, {";", ","});
    ASSERT_GT(expected.size(), std::size_t{3} << 20) << "the text must span several blocks";
    WriteTextData(path, data, {";", ","});
    EXPECT_TRUE(ReadFileText(path) == expected) << "the file differs from the formatted text";
}

struct WriteFailureCase {
    const char* name;
    // Prepares the folder and returns the target path.
    fs::path (*prepare)(const fs::path& dir);
    Separators separators;
    std::string message;
};

class WriteFailureTest : public ::testing::TestWithParam<WriteFailureCase> {};

// What is no file: the NUL device on Windows, elsewhere a link to a named pipe.
fs::path SpecialFile(const fs::path& dir) {
#ifdef _WIN32
    static_cast<void>(dir);
    return "NUL";
#else
    mkfifo((dir / "pipe").c_str(), 0666);
    fs::create_symlink("pipe", dir / "out.txt");
    return dir / "out.txt";
#endif
}

TEST_P(WriteFailureTest, FailsAndLeavesEverythingAsItWas) {
    const WriteFailureCase& c = GetParam();
    TempDir dir;
    WriteFileText(dir.Path() / "keep.txt", "old");
    const fs::path target = c.prepare(dir.Path());
    const bool existed = fs::is_regular_file(target);
    const std::string before = existed ? ReadFileText(target) : std::string();
    try {
        WriteTextData(target, DemoMomentData(), c.separators);
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_THAT(std::string(error.what()), ::testing::HasSubstr(c.message));
    }
    if (existed) {
        EXPECT_EQ(ReadFileText(target), before);
    }
    fs::permissions(dir.Path(), fs::perms::owner_all, fs::perm_options::add);
    std::size_t entries = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
        entries += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(entries, existed ? 2u : 1u) << "a temporary or partial file was left behind";
    EXPECT_EQ(ReadFileText(dir.Path() / "keep.txt"), "old");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteFailureTest,
    ::testing::Values(
        WriteFailureCase{"ReadOnlyFile",
                         [](const fs::path& dir) {
                             const fs::path target = dir / "ro.txt";
                             WriteFileText(target, "precious");
                             fs::permissions(target,
                                             fs::perms::owner_write | fs::perms::group_write |
                                                 fs::perms::others_write,
                                             fs::perm_options::remove);
                             return target;
                         },
                         {",", "."},
                         "the file is read-only"},
        WriteFailureCase{"Folder",
                         [](const fs::path& dir) {
                             fs::create_directory(dir / "sub.txt");
                             return dir / "sub.txt";
                         },
                         {",", "."},
                         "it is a folder, not a file"},
        WriteFailureCase{"SpecialFile", SpecialFile, {",", "."}, "not a file"},
        WriteFailureCase{"MissingFolder",
                         [](const fs::path& dir) { return dir / "missing" / "out.txt"; },
                         {",", "."},
                         "missing\" does not exist"},
        WriteFailureCase{"RefusedSeparators",
                         [](const fs::path& dir) {
                             WriteFileText(dir / "out.txt", "existing");
                             return dir / "out.txt";
                         },
                         {",", ","},
                         "the list separator \",\" and the decimal separator \",\" share a "
                         "character, so every number would split into extra columns"}),
    testing::CaseName());

}  // namespace
}  // namespace dsf2vemo
