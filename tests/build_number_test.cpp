#include "build_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "case_name.h"
#include "temp_dir.h"

namespace dsf2vemo::testing {
namespace {

namespace fs = std::filesystem;

// The number a backup directory's name begins with; std::nullopt: outside 16 bits.
struct NumberCase {
    std::string name;
    std::wstring text;
    std::optional<std::int16_t> number;
};

class LeadingNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LeadingNumberTest, ReadsTheLeadingNumber) {
    EXPECT_EQ(about::LeadingNumber(GetParam().text), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Names, LeadingNumberTest,
    ::testing::Values(
        NumberCase{"Digits", L"12", 12}, NumberCase{"DigitsThenLetters", L"7b", 7},
        NumberCase{"NoNumber", L"old", 0}, NumberCase{"Empty", L"", 0},
        NumberCase{"LeadingZeros", L"007", 7}, NumberCase{"LeadingBlanks", L" \t 42 copy", 42},
        NumberCase{"BlankEndsTheNumber", L"1 2", 1}, NumberCase{"Minus", L"-5", -5},
        NumberCase{"Plus", L"+5", 5}, NumberCase{"SignAlone", L"-", 0},
        NumberCase{"PointAlone", L".", 0}, NumberCase{"PointFirst", L".75", 1},
        NumberCase{"SecondPointEnds", L"1.2.3", 1}, NumberCase{"CommaIsNoPoint", L"2,9", 2},
        NumberCase{"HalfDownToEven", L"2.5", 2}, NumberCase{"HalfUpToEven", L"3.5", 4},
        NumberCase{"NegativeHalfToEven", L"-2.5", -2}, NumberCase{"AboveHalf", L"2.51", 3},
        NumberCase{"Exponent", L"1e3", 1000}, NumberCase{"SignedExponent", L"1.5E+1", 15},
        NumberCase{"NegativeExponentHalf", L"25e-1", 2},
        NumberCase{"LetterWithoutDigits", L"12e", 12},
        NumberCase{"SignWithoutDigits", L"12e+x", 12}, NumberCase{"HexIsNoNumber", L"0x10", 0},
        NumberCase{"Largest", L"32767", 32767}, NumberCase{"Smallest", L"-32768", -32768},
        NumberCase{"RoundsToSmallest", L"-32768.5", -32768},
        NumberCase{"RoundsPastLargest", L"32767.5", std::nullopt},
        NumberCase{"PastLargest", L"32768", std::nullopt},
        NumberCase{"PastSmallest", L"-32769", std::nullopt},
        NumberCase{"ManyDigits", L"99999999999999999999", std::nullopt},
        NumberCase{"BeyondDouble", L"1e400", std::nullopt},
        NumberCase{"BelowDouble", L"1e-400", 0}),
    CaseName{});

// The most recent build number in a backup directory made of these sub-directories and files.
struct ScanCase {
    std::string name;
    std::vector<std::string> directories;
    std::vector<std::string> files;
    std::int16_t most_recent;
};

class MostRecentBuildNumberTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(MostRecentBuildNumberTest, TakesTheGreatestDirectoryNumber) {
    const ScanCase& c = GetParam();
    TempDir backups;
    for (const std::string& name : c.directories) {
        fs::create_directory(backups.Path() / name);
    }
    for (const std::string& name : c.files) {
        std::ofstream(backups.Path() / name) << "a file, not a build";
    }
    EXPECT_EQ(about::MostRecentBuildNumber(backups.Path()), c.most_recent);
}

INSTANTIATE_TEST_SUITE_P(Trees, MostRecentBuildNumberTest,
                         ::testing::Values(ScanCase{"Mixed", {"12", "7b", "old"}, {"40"}, 12},
                                           ScanCase{"Nothing", {}, {}, -1},
                                           ScanCase{"FilesOnly", {}, {"50", "9"}, -1},
                                           ScanCase{"NoNumberReadsAsZero", {"old"}, {}, 0},
                                           ScanCase{"NegativeNumbersLoseToNone", {"-5"}, {}, -1},
                                           ScanCase{"OutOfRangeIsSkipped", {"40000", "3"}, {}, 3},
                                           ScanCase{"Largest", {"32767", "1"}, {}, 32767},
                                           ScanCase{"Rounded", {"4.5", "3.6"}, {}, 4},
                                           ScanCase{"NestedAreNotEntries", {"5", "5/900"}, {}, 5}),
                         CaseName{});

TEST(MostRecentBuildNumberTest, UnreadableDirectoryGivesMinusOne) {
    TempDir temp;
    const fs::path file = temp.Path() / "a file";
    std::ofstream(file) << "not a directory";
    EXPECT_EQ(about::MostRecentBuildNumber(temp.Path() / "missing"), -1);
    EXPECT_EQ(about::MostRecentBuildNumber(file), -1);
}

struct ExecutableCase {
    std::string name;
    fs::path executable;
    bool development;
};

class DevelopmentExecutableTest : public ::testing::TestWithParam<ExecutableCase> {};

TEST_P(DevelopmentExecutableTest, RecognisesTheDevelopmentName) {
    EXPECT_EQ(about::IsDevelopmentExecutable(GetParam().executable), GetParam().development);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DevelopmentExecutableTest,
    ::testing::Values(ExecutableCase{"Lower", fs::path("dev") / "divazu~1.exe", true},
                      ExecutableCase{"Upper", fs::path("dev") / "DIVAZU~1.EXE", true},
                      ExecutableCase{"NoExtension", "DivAzu~1", true},
                      ExecutableCase{"Program", fs::path("dev") / "dsf2vemo.exe", false},
                      ExecutableCase{"LongerName", "divazu~10.exe", false},
                      ExecutableCase{"ShorterName", "divazu~.exe", false},
                      ExecutableCase{"NameAsDirectory", fs::path("divazu~1") / "x.exe", false}),
    CaseName{});

}  // namespace
}  // namespace dsf2vemo::testing
