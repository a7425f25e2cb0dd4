// Files replaced together (an Mplus input file and its data file): all of them or none, a target
// that is a link stays one, and no old file kept meanwhile is ever left behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "replace_existing_win32.h"
#else
#include <csignal>

#include "injected_failures.h"
#include "process_runner.h"
#endif

#include "conversion_error.h"
#include "dsf_builder.h"
#include "folder_tree.h"
#include "mplus_pair.h"
#include "replacement_set.h"
#include "temp_dir.h"

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

#ifdef _WIN32

// The replace of the second file fails, and the first one's put-back goes through the same
// replace, which a scanner holding the new file makes fail: 9 times, and the 10th try puts the
// old file back; 10 times, and the old file stays under its kept name, which the failure names.
TEST(ReplacementSetTest, AFailedPutBackKeepsTheOldFile) {
    for (const int held : {9, 10}) {
        SCOPED_TRACE(held);
        TempDir dir;
        const fs::path targets[] = {dir.Path() / "a.dat", dir.Path() / "b.inp"};
        WriteFileText(targets[0], "old a");
        WriteFileText(targets[1], "old b");
        int calls = 0;
        const native_file::ReplaceFileCall system = native_file::SetReplaceFileCall(
            [&](const wchar_t* replaced, const wchar_t* replacement, const wchar_t* backup) {
                ++calls;
                if (calls == 2 || (calls > 2 && calls <= 2 + held)) {
                    SetLastError(calls == 2 ? ERROR_UNABLE_TO_MOVE_REPLACEMENT
                                            : ERROR_SHARING_VIOLATION);
                    return FALSE;
                }
                return native_file::SystemReplaceFile(replaced, replacement, backup);
            });
        std::string thrown;
        try {
            ReplacementSet files(targets);
            files.File(0).Write("new a");
            files.File(1).Write("new b");
            files.Commit();
        } catch (const ConversionError& failure) {
            thrown = failure.what();
        }
        native_file::SetReplaceFileCall(system);
        const bool kept = held == 10;
        EXPECT_EQ(thrown.find("; the old \"a.dat\" could not be put back and is kept beside it as "
                              "\"dsf2vemo-") != std::string::npos,
                  kept)
            << thrown;
        std::vector<std::string> expected = {kept ? "a.dat: new a" : "a.dat: old a",
                                             "b.inp: old b"};
        if (kept) {
            expected.insert(expected.begin(), "*.tmp: old a");
        }
        EXPECT_EQ(testing::FolderFirstLines(dir.Path()), expected);
    }
}

#endif

#ifndef _WIN32

// An existing pair of this program's, demo.inp naming demo.dat, and the first lines of what a
// conversion of demo.dsf leaves in their folder (kept and temporary files as "*.tmp").
class PairFolder {
  public:
    explicit PairFolder(bool old_files) {
        testing::WriteFileBytes(Path("demo.dsf"), testing::BuildDsf(testing::DemoMomentData()));
        if (old_files) {
            FingerprintSum sum;
            sum.Add("old data");
            WriteFileText(Path("demo.dat"), "old data");
            WriteFileText(Path("demo.inp"),
                          WrittenByLine(sum.Result()) + "\r\nDATA: FILE = \"demo.dat\";\r\n");
        }
    }
    fs::path Path(const std::string& name) const { return dir_.Path() / name; }
    // Without the data system file.
    std::vector<std::string> FirstLines() const {
        std::vector<std::string> lines = testing::FolderFirstLines(dir_.Path());
        std::erase_if(lines, [](const std::string& line) { return line.starts_with("demo.dsf"); });
        return lines;
    }

  private:
    TempDir dir_;
};

// The Mplus files under failures of the calls of a conversion: SIGTERM or EIO as the N-th flush
// begins (with hard links: the new data file, the new input file, the data file's folder, the
// input file's folder; where the old files are kept by copying, their copies come first), a file
// system without hard links (EPERM), renames that fail. Files replaced together stay together:
// until both are in place and flushed, a failure or a signal puts back the files replaced
// (removing those that didn't exist), trying a failed put-back 10 times. A kept old file is
// removed only once it is back or no longer needed: one that can't go back stays, named.
TEST(ReplacementSetTest, AFailureOrASignalLeavesBothOldOrBothNew) {
    TempDir scratch;
    struct Case {
        std::vector<std::string> injections;
        bool old_files;
        int status;  // 128 + the signal where one ends the program
        std::vector<std::string> left;
        std::string message = "";  // part of the error, where one is checked
    };
    const std::string old_inp = "demo.inp: " + WrittenByLine({8, 0xFEEC05D8});
    const std::string new_inp = "demo.inp: " + WrittenByLine({24, 0xC01856BE});
    const std::string new_dat = "demo.dat: 10 20.5";
    const std::string kept_dat = "*.tmp: old data";
    const std::vector<std::string> old = {"demo.dat: old data", old_inp};
    const std::string no_links = "link:error=EPERM";
    const std::string kept_message =
        "; the old \"demo.dat\" could not be put back and is kept beside it as \"dsf2vemo-";
    const std::vector<Case> cases = {
        {{"fsync:signal=SIGTERM:when=1"}, true, 128 + SIGTERM, old},
        {{"fsync:signal=SIGTERM:when=2"}, false, 128 + SIGTERM, {}},
        {{"fsync:signal=SIGTERM:when=3"}, true, 128 + SIGTERM, old},
        {{"fsync:error=EIO:when=3"}, true, 1, old},
        {{"fsync:error=EIO:when=4"}, true, 1, old},
        {{no_links}, true, 0, {new_dat, new_inp}},
        {{no_links, "fsync:error=EIO:when=2"}, true, 1, old},
        {{no_links, "fsync:error=EIO:when=6"}, true, 1, old},
        {{"rename:error=EIO:when=2"}, true, 1, old},
        {{"rename:error=EIO:when=2..11"}, true, 1, old},
        {{"rename:error=EIO:when=2..12"},
         true,
         1,
         {kept_dat, new_dat, old_inp},
         "could not replace the old one: Input/output error" + kept_message},
        {{no_links, "rename:error=EIO:when=2..12"},
         true,
         1,
         {kept_dat, new_dat, old_inp},
         kept_message},
        {{"fsync:signal=SIGTERM:when=3", "rename:error=EIO:when=3+"},
         true,
         128 + SIGTERM,
         {"*.tmp: " + old_inp.substr(10), kept_dat, new_dat, new_inp}},
        // The signal's put-back of the data file is tried 10 times too.
        {{"fsync:signal=SIGTERM:when=3", "rename:error=EIO:when=3..11"}, true, 128 + SIGTERM, old},
        {{"fsync:signal=SIGTERM:when=3", "rename:error=EIO:when=3..12"},
         true,
         128 + SIGTERM,
         {kept_dat, new_dat, old_inp}},
        // Killed between the two renames: the new data file beside the old input file, whose
        // fingerprint tells them apart.
        {{"rename:signal=SIGKILL:when=2"},
         true,
         128 + SIGKILL,
         {"*.tmp: " + new_inp.substr(10), "*.tmp: " + old_inp.substr(10), kept_dat, new_dat,
          old_inp}},
        // Killed once both are in place, as their folder is flushed: both new, the old kept.
        {{"fsync:signal=SIGKILL:when=3"},
         true,
         128 + SIGKILL,
         {"*.tmp: " + old_inp.substr(10), kept_dat, new_dat, new_inp}}};
    for (const auto& [injections, old_files, status, left, message] : cases) {
        SCOPED_TRACE(injections.back() + (old_files ? "" : ", no old files"));
        const PairFolder folder(old_files);
        const testing::ChildResult child = testing::RunInjecting(
            DSF2VEMO_CLI_PATH, injections, {"--format", "mplus", folder.Path("demo.dsf").string()},
            scratch.Path());
        EXPECT_EQ(child.exited ? child.exit_status : 128 + child.signal, status) << child.err;
        EXPECT_THAT(child.err, ::testing::HasSubstr(message));
        EXPECT_EQ(folder.FirstLines(), left);
    }
}

// A pair parted by a conversion killed between its two renames is told, not trusted: the next
// conversion to that name refuses to replace the data file, and --check of the input says so
// (of the whole pair before, nothing).
TEST(ReplacementSetTest, APartedPairIsToldNotTrusted) {
    TempDir scratch;
    const PairFolder folder(true);
    const std::vector<std::string> input = {"--format", "mplus", folder.Path("demo.dsf").string()};
    const std::vector<std::string> check_input = {"--check", folder.Path("demo.dsf").string()};
    EXPECT_EQ(testing::RunChild(DSF2VEMO_CLI_PATH, check_input, {}, scratch.Path()).out,
              folder.Path("demo.dsf").string() + ": no findings\n");
    EXPECT_EQ(testing::RunInjecting(DSF2VEMO_CLI_PATH, {"rename:signal=SIGKILL:when=2"}, input,
                                    scratch.Path())
                  .signal,
              SIGKILL);
    const testing::ChildResult again =
        testing::RunChild(DSF2VEMO_CLI_PATH, input, {}, scratch.Path());
    EXPECT_EQ(again.exit_status, 1);
    EXPECT_THAT(
        again.err,
        ::testing::HasSubstr("the data file \"demo.dat\" is not the one \"demo.inp\" was written "
                             "with (\"demo.dat\" is 24 bytes long, where \"demo.inp\" records 8)"));
    const testing::ChildResult check =
        testing::RunChild(DSF2VEMO_CLI_PATH, check_input, {}, scratch.Path());
    EXPECT_EQ(check.exit_status, 1);
    EXPECT_EQ(check.out,
              folder.Path("demo.dsf").string() +
                  ": \"demo.inp\" and \"demo.dat\" don't belong together (\"demo.dat\" is "
                  "24 bytes long, where \"demo.inp\" records 8): a conversion was ended "
                  "between the two files, or \"demo.dat\" changed since; convert again "
                  "to another name\n");
}

#endif

}  // namespace
}  // namespace dsf2vemo
