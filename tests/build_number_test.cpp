#include "build_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "temp_dir.h"

namespace dsf2vemo::testing {
namespace {

namespace fs = std::filesystem;
using about::LeadingNumber;

// The number a backup directory's name begins with; std::nullopt: outside 16 bits.
TEST(BuildNumberTest, ReadsTheLeadingNumber) {
    // clang-format off
    const std::vector<std::pair<std::wstring, std::optional<std::int16_t>>> names = {
        {L"12", 12}, {L"7b", 7}, {L"old", 0}, {L"", 0}, {L"007", 7}, {L" \t 42 copy", 42},
        {L"1 2", 1}, {L"-5", -5}, {L"+5", 5}, {L"-", 0}, {L".", 0}, {L".75", 1}, {L"1.2.3", 1},
        {L"2,9", 2}, {L"2.5", 2}, {L"3.5", 4}, {L"-2.5", -2}, {L"2.51", 3}, {L"1e3", 1000},
        {L"1.5E+1", 15}, {L"25e-1", 2}, {L"12e", 12}, {L"12e+x", 12}, {L"32767", 32767},
        {L"-32768", -32768}, {L"-32768.5", -32768}, {L"32767.5", {}}, {L"32768", {}},
        {L"-32769", {}}, {L"1e400", {}}, {L"1e-400", 0}};
    // clang-format on
    for (const auto& [name, number] : names) {
        EXPECT_EQ(LeadingNumber(name), number) << fs::path(name);
    }
}

// The greatest number among the sub-directories (not files, nor anything deeper) of the scanned
// folder; -1 for none, or when it cannot be read.
TEST(BuildNumberTest, MostRecentIsTheGreatestDirectoryNumber) {
    struct Tree {
        std::vector<std::string> directories, files;
        std::string scanned;  // under the folder holding them
        std::int16_t most_recent;
    };
    // clang-format off
    const std::vector<Tree> trees = {
        {{"12", "7b", "old"}, {"40"}, "", 12}, {{}, {}, "", -1}, {{"old"}, {}, "", 0},
        {{"-5"}, {}, "", -1}, {{"40000", "3"}, {}, "", 3}, {{"5", "5/900"}, {}, "", 5},
        {{"12"}, {}, "missing", -1}, {{"12"}, {"40"}, "40", -1}};
    // clang-format on
    for (const Tree& tree : trees) {
        TempDir backups;
        for (const std::string& name : tree.directories) {
            fs::create_directory(backups.Path() / name);
        }
        for (const std::string& name : tree.files) {
            std::ofstream(backups.Path() / name) << "a file, not a build";
        }
        EXPECT_EQ(about::MostRecentBuildNumber(backups.Path() / tree.scanned), tree.most_recent)
            << ::testing::PrintToString(tree.directories) << " " << tree.scanned;
    }
}

TEST(BuildNumberTest, RecognisesTheDevelopmentExecutable) {
    // clang-format off
    const std::vector<std::pair<fs::path, bool>> executables = {
        {"dev/divazu~1.exe", true}, {"dev/DIVAZU~1.EXE", true}, {"DivAzu~1", true},
        {"dev/dsf2vemo.exe", false}, {"divazu~10.exe", false}, {"divazu~.exe", false},
        {"divazu~1/x.exe", false}};
    // clang-format on
    for (const auto& [executable, development] : executables) {
        EXPECT_EQ(about::IsDevelopmentExecutable(executable), development) << executable;
    }
}

}  // namespace
}  // namespace dsf2vemo::testing
