// Putting a finished text data file in place: what the user had set on the old file stays, any
// name the file system takes works, and no temporary file is ever left behind or opened unsafely.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "case_name.h"
#include "conversion_error.h"
#include "dsf_builder.h"
#include "replacement_file.h"
#include "temp_dir.h"
#include "text_data_writer.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;
using testing::DemoMomentData;
using testing::kDemoComma;
using testing::ReadFileText;
using testing::TempDir;
using testing::WriteFileText;

std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Each name in turn, as the source of temporary names.
std::function<std::string()> NamesInTurn(std::vector<std::string> names) {
    return [names = std::move(names), next = std::size_t{0}]() mutable {
        return names.at(next++ % names.size());
    };
}

TEST(ReplacementFileTest, ATakenNameIsNeverOpened) {
    TempDir dir;
    const fs::path target = dir.Path() / "out.txt";
    WriteFileText(dir.Path() / "taken.tmp", "someone else's");
    ReplacementFile file(target, NamesInTurn({"taken.tmp", "free.tmp"}));
    EXPECT_EQ(file.TemporaryPath().filename(), "free.tmp");
    file.Write("new");
    file.Commit();
    EXPECT_EQ(ReadFileText(target), "new");
    EXPECT_EQ(ReadFileText(dir.Path() / "taken.tmp"), "someone else's");
}

TEST(ReplacementFileTest, GivesUpWhenEveryNameIsTaken) {
    TempDir dir;
    WriteFileText(dir.Path() / "taken.tmp", "someone else's");
    try {
        ReplacementFile file(dir.Path() / "out.txt", NamesInTurn({"taken.tmp"}));
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.Kind(), ErrorKind::CannotWrite);
        EXPECT_THAT(error.what(), ::testing::HasSubstr("100 names were taken"));
    }
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"taken.tmp"});
}

#ifndef _WIN32

// Names as long as file systems allow (255 bytes), so no name can be made
// longer from them.
TEST(ReplacementFileTest, AnyNameTheFileSystemTakesWorks) {
    TempDir dir;
    const fs::path target = dir.Path() / (std::string(251, 'n') + ".txt");
    WriteTextData(target, DemoMomentData(), {",", "."});
    EXPECT_EQ(ReadFileText(target), kDemoComma);
    WriteTextData(target, DemoMomentData(), {",", "."});
    EXPECT_EQ(ReadFileText(target), kDemoComma);
    EXPECT_EQ(Entries(dir.Path()).size(), 1u);
}

// A link planted at the temporary name, in a shared folder, must not make the program create
// or truncate the file it points to.
TEST(ReplacementFileTest, APlantedLinkIsNeverFollowed) {
    TempDir dir;
    const fs::path victim = dir.Path() / "victim";
    fs::create_symlink(victim, dir.Path() / "planted.tmp");
    ReplacementFile file(dir.Path() / "out.txt", NamesInTurn({"planted.tmp", "free.tmp"}));
    file.Write("new");
    file.Commit();
    EXPECT_FALSE(fs::exists(victim));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "planted.tmp"));
    EXPECT_EQ(ReadFileText(dir.Path() / "out.txt"), "new");
}

class KeepsPermissionsTest : public ::testing::TestWithParam<fs::perms> {};

TEST_P(KeepsPermissionsTest, OfTheFileItReplaces) {
    TempDir dir;
    const fs::path target = dir.Path() / "study.txt";
    WriteFileText(target, "old");
    fs::permissions(target, GetParam());
    WriteTextData(target, DemoMomentData(), {",", "."});
    EXPECT_EQ(ReadFileText(target), kDemoComma);
    EXPECT_EQ(fs::status(target).permissions(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Modes, KeepsPermissionsTest,
                         ::testing::Values(fs::perms::owner_read | fs::perms::owner_write |
                                               fs::perms::group_read,
                                           fs::perms::owner_read | fs::perms::owner_write,
                                           fs::perms::owner_all | fs::perms::group_read |
                                               fs::perms::group_write | fs::perms::others_read));

TEST(ReplacementFileTest, KeepsTheOwnerWhereTheProcessMay) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root may give a file to another user";
    }
    TempDir dir;
    const fs::path target = dir.Path() / "study.txt";
    WriteFileText(target, "old");
    ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    WriteTextData(target, DemoMomentData(), {",", "."});
    struct stat after {};
    ASSERT_EQ(stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 65534u);
}

// While it lives, files this process writes can't grow past `bytes`: a write beyond fails with
// EFBIG instead of ending the process.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previous_handler_)(int) = nullptr;
};

TEST(ReplacementFileTest, AFailureAfterTheTemporaryFileExistsLeavesNothingBehind) {
    TempDir dir;
    const fs::path target = dir.Path() / "study.txt";
    WriteFileText(target, "old");
    try {
        const FileSizeLimit limit(64 * 1024);
        WriteTextData(target, testing::SyntheticMomentData(300), {",", "."});
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.Kind(), ErrorKind::CannotWrite);
        EXPECT_THAT(error.what(), ::testing::HasSubstr("writing the file failed: File too large"));
    }
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"study.txt"});
    EXPECT_EQ(ReadFileText(target), "old");
}

#else

DWORD Attributes(const fs::path& path) {
    return GetFileAttributesW(path.c_str());
}

// An existing file is replaced through ReplaceFileW, which keeps its attributes; a new one is
// moved into place.
TEST(ReplacementFileTest, ReplacesThroughReplaceFileKeepingAttributes) {
    TempDir dir;
    const fs::path fresh = dir.Path() / "fresh.txt";
    WriteTextData(fresh, DemoMomentData(), {",", "."});
    EXPECT_EQ(ReadFileText(fresh), kDemoComma);

    const fs::path target = dir.Path() / "study.txt";
    WriteFileText(target, "old");
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_NE(Attributes(target) & FILE_ATTRIBUTE_HIDDEN, 0u);
    WriteTextData(target, DemoMomentData(), {",", "."});
    EXPECT_EQ(ReadFileText(target), kDemoComma);
    EXPECT_NE(Attributes(target) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"fresh.txt", "study.txt"}));
}

#endif

}  // namespace
}  // namespace dsf2vemo
