// Putting a finished text data file in place: what the user had set on the old file stays, any
// name the file system takes works, and no temporary file is ever left behind or opened unsafely.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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
using ::testing::HasSubstr;
using testing::kDemoComma;
using testing::ReadFileText;
using ::testing::ThrowsMessage;
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

// A link planted at a temporary name in a shared folder must not make the program create or
// truncate the file it points to.
TEST(ReplacementFileTest, NeverOpensATakenNameOrAPlantedLink) {
    testing::TempDir dir;
    WriteFileText(dir.Path() / "taken.tmp", "someone else's");
#ifdef _WIN32
    WriteFileText(dir.Path() / "planted.tmp", "");
#else
    fs::create_symlink(dir.Path() / "victim", dir.Path() / "planted.tmp");
#endif
    ReplacementFile file(dir.Path() / "out.txt",
                         NamesInTurn({"taken.tmp", "planted.tmp", "free.tmp"}));
    EXPECT_EQ(file.TemporaryPath().filename(), "free.tmp");
    file.Write("new");
    file.Commit();
    EXPECT_EQ(ReadFileText(dir.Path() / "out.txt"), "new");
    EXPECT_EQ(ReadFileText(dir.Path() / "taken.tmp"), "someone else's");
    EXPECT_EQ(Entries(dir.Path()),
              (std::vector<std::string>{"out.txt", "planted.tmp", "taken.tmp"}));

    EXPECT_THAT(
        [&] { ReplacementFile(dir.Path() / "b.txt", NamesInTurn({"taken.tmp"})); },
        ::testing::Throws<ConversionError>(::testing::AllOf(
            ::testing::Property(&ConversionError::Kind, ErrorKind::CannotWrite),
            ::testing::Property(&ConversionError::what, HasSubstr("100 names were taken")))));
    EXPECT_EQ(Entries(dir.Path()).size(), 3u);
}

#ifndef _WIN32

// A name as long as file systems allow (255 bytes), from which no longer name can be made; a
// mode no usual umask gives; another owner where the process may give one (root). Past the file
// size limit, with its signal ignored, a write fails with EFBIG once the temporary file exists.
TEST(ReplacementFileTest, KeepsTheOldFileOnFailureAndItsModeAndOwnerOnSuccess) {
    testing::TempDir dir;
    const std::string name = std::string(251, 'n') + ".txt";
    const fs::path target = dir.Path() / name;
    WriteFileText(target, "old");
    const fs::perms mode = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_write |
                           fs::perms::others_read;
    fs::permissions(target, mode);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    }
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limited{64 * 1024, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limited);
    EXPECT_THAT(
        [&] {
            WriteTextData(target, testing::SyntheticMomentData(300), {",", "."});
        },
        ThrowsMessage<ConversionError>(HasSubstr("writing the file failed: File too large")));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{name});
    EXPECT_EQ(ReadFileText(target), "old");

    WriteTextData(target, DemoMomentData(), {",", "."});
    EXPECT_EQ(ReadFileText(target), kDemoComma);
    EXPECT_EQ(fs::status(target).permissions(), mode);
    struct stat after {};
    ASSERT_EQ(stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, root ? 65534u : geteuid());
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{name});
}

#else

// An existing file is replaced through ReplaceFileW, which keeps its attributes; a new one is
// moved into place.
TEST(ReplacementFileTest, ReplacesThroughReplaceFileKeepingAttributes) {
    testing::TempDir dir;
    const fs::path target = dir.Path() / "study.txt";
    WriteFileText(target, "old");
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
    for (const fs::path& path : {dir.Path() / "fresh.txt", target}) {
        WriteTextData(path, DemoMomentData(), {",", "."});
        EXPECT_EQ(ReadFileText(path), kDemoComma);
    }
    EXPECT_NE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"fresh.txt", "study.txt"}));
}

#endif

}  // namespace
}  // namespace dsf2vemo
