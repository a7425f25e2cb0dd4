// Files replaced together (an Mplus input file and its data file): all of them or none, a target
// that is a link stays one, and no old file kept meanwhile is ever left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>

#include "process_runner.h"
#include "strace_runner.h"
#endif

#include "conversion_error.h"
#include "dsf_builder.h"
#include "folder_tree.h"
#include "mplus_writer.h"
#include "replacement_set.h"
#include "temp_dir.h"
#include "version.h"

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;
using testing::FolderTree;
using testing::ReadFileText;
using testing::TempDir;
using testing::WriteFileText;

// The first target a.dat existed or was new, and was a file or a link to shared/a.dat; the second
// can't be replaced. The file the first names ends as it was, and a link stays a link.
TEST(ReplacementSetTest, EitherAllTargetsAreReplacedOrNone) {
    struct Case {
        bool first_existed;
        bool through_link;
    };
    std::vector<Case> cases = {{true, false}, {false, false}};
#ifndef _WIN32
    cases.insert(cases.end(), {{true, true}, {false, true}});
#endif
    for (const auto& [first_existed, through_link] : cases) {
        SCOPED_TRACE(std::string(first_existed ? "first existed" : "first was new") +
                     (through_link ? ", through a link" : ""));
        TempDir dir;
        const fs::path first = dir.Path() / "a.dat";
        const fs::path second = dir.Path() / "b.inp";
        fs::create_directories(dir.Path() / "shared");
        const fs::path named = through_link ? dir.Path() / "shared" / "a.dat" : first;
        if (through_link) {
            fs::create_symlink(fs::path("shared") / "a.dat", first);
        }
        if (first_existed) {
            WriteFileText(named, "old");
        }
#ifdef _WIN32
        // A file open without sharing its deletion can't be replaced.
        WriteFileText(second, "old b");
        const HANDLE held = CreateFileW(second.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
#else
        // A folder with something in it: no file can take its place.
        fs::create_directories(second / "inside");
#endif
        {
            const fs::path targets[] = {first, second};
            ReplacementSet files(targets);
            files.File(0).Write("new");
            files.File(1).Write("new");
            EXPECT_THROW(files.Commit(), ConversionError);
        }
#ifdef _WIN32
        CloseHandle(held);
        EXPECT_EQ(ReadFileText(second), "old b");
#endif
        if (first_existed) {
            EXPECT_EQ(ReadFileText(named), "old");
        } else {
            EXPECT_FALSE(fs::exists(named));
        }
        EXPECT_EQ(fs::is_symlink(fs::symlink_status(first)), through_link);
        // Temporary and kept files are all named dsf2vemo-….tmp. (Wine's ReplaceFileW leaves a
        // file of its own after a failure.)
        for (const std::string& entry : FolderTree(dir.Path())) {
            EXPECT_EQ(entry.find("dsf2vemo-"), std::string::npos) << entry << " was left behind";
        }
    }
}

TEST(ReplacementSetTest, ReplacingExistingFilesLeavesNoKeptCopy) {
    TempDir dir;
    const fs::path targets[] = {dir.Path() / "a.dat", dir.Path() / "a.inp"};
    WriteFileText(targets[0], "old");
    WriteFileText(targets[1], "old");
    {
        ReplacementSet files(targets);
        files.File(0).Write("new a.dat");
        files.File(1).Write("new a.inp");
        files.Commit();
    }
    EXPECT_EQ(ReadFileText(targets[0]), "new a.dat");
    EXPECT_EQ(ReadFileText(targets[1]), "new a.inp");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

#ifndef _WIN32

// The Mplus files under failures strace injects: SIGTERM or EIO as the N-th flush begins (with
// hard links: the new data file, the new input file, the data file's folder, the input file's
// folder; where the old files are kept by copying, their copies come first), a file system
// without hard links (EPERM), copies that can't be finished. Files replaced together stay
// together: until both are in place and flushed, a failure or a signal puts back the files
// replaced (removing those that didn't exist), and no kept old file is ever left behind.
TEST(ReplacementSetTest, AFailureOrASignalLeavesBothOldOrBothNew) {
    if (const std::string why = testing::StraceUnavailable(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    TempDir scratch;
    struct Case {
        std::vector<std::string> injections;
        bool old_files;
        int status;  // 128 + the signal where one ends the program
        bool replaced;
    };
    // The old input file is one of this program's, or the data file would not be replaced.
    const std::string old_input = std::string(kMplusWrittenBy) + " 0.99";
    const std::string new_input = std::string(kMplusWrittenBy) + " " + DSF2VEMO_VERSION_TEXT;
    const std::string no_links = "link:error=EPERM";
    const std::vector<Case> cases = {
        {{"fsync:signal=SIGTERM:when=1"}, true, 128 + SIGTERM, false},
        {{"fsync:signal=SIGTERM:when=2"}, false, 128 + SIGTERM, false},
        {{"fsync:signal=SIGTERM:when=3"}, true, 128 + SIGTERM, false},
        {{"fsync:error=EIO:when=3"}, true, 1, false},
        {{"fsync:error=EIO:when=4"}, true, 1, false},
        {{no_links}, true, 0, true},
        {{no_links, "fsync:error=EIO:when=2", "copy_file_range,sendfile:error=ENOSPC"},
         true,
         1,
         false},
        {{no_links, "fsync:error=EIO:when=6"}, true, 1, false}};
    for (const auto& [injections, old_files, status, replaced] : cases) {
        SCOPED_TRACE(injections.back() + (old_files ? "" : ", no old files"));
        TempDir dir;
        const fs::path input = dir.Path() / "demo.dsf";
        testing::WriteFileBytes(input, testing::BuildDsf(testing::DemoMomentData()));
        if (old_files) {
            WriteFileText(dir.Path() / "demo.dat", "old data");
            WriteFileText(dir.Path() / "demo.inp",
                          old_input + "\r\nDATA: FILE = \"demo.dat\";\r\n");
        }
        const testing::ChildResult child = testing::RunInjecting(
            DSF2VEMO_CLI_PATH, injections, {"--format", "mplus", input.string()}, scratch.Path());
        EXPECT_EQ(child.exited ? child.exit_status : 128 + child.signal, status) << child.err;
        std::vector<std::string> found;  // the first lines
        for (const std::string& entry : FolderTree(dir.Path())) {
            if (!entry.starts_with("demo.dsf")) {
                found.push_back(entry.substr(0, entry.find('\r')));
            }
        }
        std::vector<std::string> expected;
        if (replaced) {
            expected = {"demo.dat: 10 20.5", "demo.inp: " + new_input};
        } else if (old_files) {
            expected = {"demo.dat: old data", "demo.inp: " + old_input};
        }
        EXPECT_EQ(found, expected);
    }
}

#endif

}  // namespace
}  // namespace dsf2vemo
