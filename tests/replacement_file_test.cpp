// Putting a finished text data file in place: what the user had set on the old file stays, any
// name the file system takes works, and no temporary file is ever left behind or opened unsafely.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "conversion_error.h"
#include "dsf_builder.h"
#include "folder_tree.h"
#include "interrupt_cleanup.h"
#include "replacement_file.h"
#include "temp_dir.h"
#include "text_data_writer.h"
#include "write_output.h"

#ifdef _WIN32
#include <windows.h>

#include "replace_existing_win32.h"
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <utility>

#include "case_name.h"
#include "injected_failures.h"
#include "process_runner.h"
#endif

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;
using testing::DemoMomentData;
using testing::FolderTree;
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

    // Past the slots of the list of live files, no more is made.
    std::vector<std::unique_ptr<ReplacementFile>> files;
    while (files.size() < kLiveSlots) {
        files.push_back(std::make_unique<ReplacementFile>(dir.Path() / "b.txt"));
    }
    EXPECT_THAT([&] { ReplacementFile(dir.Path() / "b.txt"); },
                ThrowsMessage<ConversionError>(HasSubstr("more than 16 files are being written")));
    EXPECT_EQ(Entries(dir.Path()).size(), 3u + kLiveSlots);
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

// The bits beyond 0777 stay as they were set: set-user-ID, set-group-ID, sticky.
TEST(ReplacementFileTest, KeepsSpecialModeBits) {
    testing::TempDir dir;
    const fs::path target = dir.Path() / "study.txt";
    for (const fs::perms special :
         {fs::perms::set_uid, fs::perms::set_gid, fs::perms::sticky_bit}) {
        SCOPED_TRACE(static_cast<int>(special));
        WriteFileText(target, "old");
        const fs::perms mode = special | fs::perms::owner_all | fs::perms::group_read;
        fs::permissions(target, mode);
        WriteTextData(target, DemoMomentData(), {",", "."});
        EXPECT_EQ(fs::status(target).permissions(), mode);
    }
}

// What this user may do with an existing target decides, not the bits its owner has: run as
// nobody, root's files in a folder anyone may write (or write but not read: the folder's flush
// then can't open it, which is no failure). Root may replace a file unless nobody may write it.
TEST(ReplacementFileTest, ATargetIsJudgedByWhatThisUserMayDo) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "running the converter as another user needs root, and this is uid "
                     << geteuid();
    }
    struct Case {
        const char* what;
        unsigned file_mode;
        bool as_nobody;
        bool in_files_group;
        unsigned folder_mode;
        std::string message;          // empty where the file is replaced
        bool effective_only = false;  // nobody only as the effective user, root the real one
    };
    const std::string not_for_nobody = "the file is read-only for this user: Permission denied";
    const std::vector<Case> cases = {
        {"0644 to nobody", 0644, true, false, 0777, not_for_nobody},
        {"0644 to effective nobody", 0644, true, false, 0777, not_for_nobody, true},
        {"0646 to effective nobody", 0646, true, false, 0777, "", true},
        {"0646 to nobody", 0646, true, false, 0777, ""},
        {"0664 to nobody in its group", 0664, true, true, 0777, ""},
        {"0664 to nobody not in its group", 0664, true, false, 0777, not_for_nobody},
        {"0666 in a folder nobody can't read", 0666, true, false, 0333, ""},
        {"0444 to root", 0444, false, false, 0755, "the file is read-only"},
        {"0464 to root", 0464, false, false, 0755, ""},
        {"0446 to root", 0446, false, false, 0755, ""}};
    constexpr unsigned kFilesGroup = 4242;
    for (const auto& [what, file_mode, as_nobody, in_files_group, folder_mode, message,
                      effective_only] : cases) {
        SCOPED_TRACE(what);
#if defined(__SANITIZE_ADDRESS__)
        // The kernel makes a program started with two users undumpable, and the leak checker of
        // a sanitized build then can't read it and fails the run: these rows are the plain
        // build's.
        if (effective_only) {
            continue;
        }
#endif
        testing::TempDir dir;
        testing::TempDir scratch;
        const fs::path input = dir.Path() / "demo.dsf";
        const fs::path output = dir.Path() / "shared" / "demo.txt";
        testing::WriteFileBytes(input, testing::BuildDsf(DemoMomentData()));
        fs::create_directories(output.parent_path());
        WriteFileText(output, "old");
        ASSERT_EQ(chown(output.c_str(), 0, kFilesGroup), 0);
        ASSERT_EQ(chmod(output.c_str(), file_mode), 0);
        ASSERT_EQ(chmod(output.parent_path().c_str(), folder_mode), 0);
        testing::ChildLimits limits;
        limits.drop_privileges = as_nobody;
        limits.effective_only = effective_only;
        if (in_files_group) {
            limits.groups = {kFilesGroup};
        }
        const testing::ChildResult child =
            testing::RunChild(DSF2VEMO_CLI_PATH,
                              {"--list-separator", ",", "--decimal-separator", ".", "-o",
                               output.string(), input.string()},
                              limits, scratch.Path());
        ASSERT_FALSE(child.could_not_start) << child.err;
        EXPECT_EQ(child.err, message.empty() ? ""
                                             : "dsf2vemo-cli: error: cannot write '" +
                                                   output.string() + "': " + message + "\n");
        EXPECT_EQ(ReadFileText(output), message.empty() ? kDemoComma : "old");
        chmod(output.parent_path().c_str(), 0755);
        EXPECT_EQ(Entries(output.parent_path()), std::vector<std::string>{"demo.txt"});
    }
}

// A target that is a link: the links made (in order, "@" standing for the test's folder) and the
// file that then holds the new text; the others keep theirs. "shared/study.txt" exists before,
// with a mode no usual umask gives, and keeps that mode.
struct LinkCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;
    std::string target;
    std::string written;
    std::string error = "";
};

class ReplacementLinkTest : public ::testing::TestWithParam<LinkCase> {};

// A chain of `count` links, "1" to "<count>", the last naming shared/study.txt.
std::vector<std::pair<std::string, std::string>> Chain(int count) {
    std::vector<std::pair<std::string, std::string>> links;
    for (int i = 1; i <= count; ++i) {
        links.emplace_back(std::to_string(i),
                           i < count ? std::to_string(i + 1) : "shared/study.txt");
    }
    return links;
}

TEST_P(ReplacementLinkTest, ReplacesTheFileTheLinkNames) {
    const LinkCase& c = GetParam();
    testing::TempDir dir;
    fs::create_directories(dir.Path() / "shared");
    fs::create_directories(dir.Path() / "out");
    const fs::path study = dir.Path() / "shared" / "study.txt";
    WriteFileText(study, "old");
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(study, mode);
    for (const auto& [link, to] : c.links) {
        const std::string absolute = dir.Path().string();
        fs::create_symlink(to[0] == '@' ? absolute + to.substr(1) : to, dir.Path() / link);
    }
    std::vector<std::string> expected = FolderTree(dir.Path());
    if (!c.error.empty()) {
        EXPECT_THAT(
            [&] {
                WriteTextData(dir.Path() / c.target, DemoMomentData(), {",", "."});
            },
            ThrowsMessage<ConversionError>(HasSubstr(c.error)));
    } else {
        WriteTextData(dir.Path() / c.target, DemoMomentData(), {",", "."});
        std::erase(expected, c.written + ": old");
        expected.push_back(c.written + ": " + kDemoComma);
        std::sort(expected.begin(), expected.end());
    }
    EXPECT_EQ(FolderTree(dir.Path()), expected);
    EXPECT_EQ(fs::status(study).permissions(), mode);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplacementLinkTest,
    ::testing::Values(
        LinkCase{"AbsoluteToRelative",
                 {{"out/link.txt", "../shared/study.txt"}, {"chain.txt", "@/out/link.txt"}},
                 "chain.txt",
                 "shared/study.txt"},
        LinkCase{
            "Dangling", {{"out/new.txt", "../shared/new.txt"}}, "out/new.txt", "shared/new.txt"},
        LinkCase{"Loop",
                 {{"a.txt", "b.txt"}, {"b.txt", "a.txt"}},
                 "a.txt",
                 "",
                 "the name leads through more than 40 symbolic links"},
        LinkCase{"FortyLinks", Chain(40), "1", "shared/study.txt"},
        LinkCase{"FortyOneLinks", Chain(41), "1", "", "more than 40 symbolic links"}),
    testing::CaseName());

// Ended by a signal while it writes the second of two inputs: its temporary file goes, its old
// target stays, the first input stays converted, and the process ends by that signal, so that a
// shell sees 128 + its number. A signal it was started to ignore changes nothing.
TEST(ReplacementFileTest, ASignalDuringAWriteLeavesOnlyTheOldTarget) {
    testing::TempDir dir;
    const fs::path first = dir.Path() / "first.dsf";
    const fs::path second = dir.Path() / "second.dsf";
    const MomentData second_data = testing::SyntheticMomentData(2000);
    testing::WriteFileBytes(first, testing::BuildDsf(DemoMomentData()));
    testing::WriteFileBytes(second, testing::BuildDsf(second_data));
    const auto writing_second = [&] {
        if (!fs::exists(dir.Path() / "first.txt")) {
            return false;
        }
        const std::vector<std::string> names = Entries(dir.Path());
        return std::any_of(names.begin(), names.end(),
                           [](const std::string& name) { return name.ends_with(".tmp"); });
    };
    const std::vector<std::pair<int, bool>> cases = {{SIGINT, false},  {SIGTERM, false},
                                                     {SIGQUIT, false}, {SIGPIPE, false},
                                                     {SIGXFSZ, false}, {SIGHUP, true}};
    for (const auto& [signal, started_ignored] : cases) {
        SCOPED_TRACE(std::to_string(signal) + (started_ignored ? ", started ignored" : ""));
        testing::TempDir scratch;
        fs::remove(dir.Path() / "first.txt");
        WriteFileText(dir.Path() / "second.txt", "old");
        testing::ChildLimits limits;
        limits.cpu_seconds = 30;
        limits.ignored_signal = started_ignored ? signal : 0;
        const int pid = testing::StartChild(
            DSF2VEMO_CLI_PATH,
            {"--list-separator", ",", "--decimal-separator", ".", first.string(), second.string()},
            limits, scratch.Path());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!writing_second() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        kill(pid, signal);
        const testing::ChildResult child = testing::WaitForChild(pid, scratch.Path());
        EXPECT_EQ(child.exited, started_ignored)
            << "status " << child.exit_status << ": " << child.err;
        EXPECT_EQ(child.exited ? child.exit_status : child.signal, started_ignored ? 0 : signal);
        EXPECT_EQ(Entries(dir.Path()),
                  (std::vector<std::string>{"first.dsf", "first.txt", "second.dsf", "second.txt"}));
        EXPECT_EQ(ReadFileText(dir.Path() / "first.txt"), kDemoComma);
        EXPECT_TRUE(ReadFileText(dir.Path() / "second.txt") ==
                    (started_ignored ? FormatTextData(second_data, {",", "."}) : "old"));
    }
}

volatile std::sig_atomic_t signals_handled = 0;

// A signal with a handler of the program's own (R and Python handle SIGINT and go on) stays the
// program's: the write runs to its end. One at its default action ends the process, and the
// temporary file goes with it. The child is forked before this process puts its handler in place.
TEST(ReplacementFileTest, ASignalTheProgramHandlesLeavesTheWriteToRunToItsEnd) {
    for (const auto& [signal, handled] : std::vector<std::pair<int, bool>>{
             {SIGINT, true}, {SIGPIPE, true}, {SIGTERM, true}, {SIGINT, false}, {SIGTERM, false}}) {
        SCOPED_TRACE(std::to_string(signal) + (handled ? ", handled" : ", default"));
        struct sigaction current {};
        sigaction(signal, nullptr, &current);
        if (current.sa_handler != SIG_DFL) {
            GTEST_SKIP() << "this process has a handler in place already; run the test alone";
        }
        testing::TempDir dir;
        WriteFileText(dir.Path() / "out.txt", "old");
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            struct sigaction count {};
            count.sa_handler = [](int) { signals_handled = signals_handled + 1; };
            if (handled) {
                sigaction(signal, &count, nullptr);
            }
            ReplacementFile file(dir.Path() / "out.txt");
            file.Write("new");
            raise(signal);
            const bool kept = fs::exists(file.TemporaryPath());
            file.Commit();
            _exit(kept && signals_handled == 1 ? 0 : 4);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_EQ(handled ? WIFEXITED(status) && WEXITSTATUS(status) == 0
                          : WIFSIGNALED(status) && WTERMSIG(status) == signal,
                  true)
            << "status " << status;
        EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"out.txt"});
        EXPECT_EQ(ReadFileText(dir.Path() / "out.txt"), handled ? "new" : "old");
    }
}

// A flush or a write that fails is a failed write, reported: before the rename the old target
// stays and the temporary file goes; after it (the folder's flush) the new file is in place. A
// call a signal interrupted is tried again; a folder that can't be flushed (EINVAL) or opened for
// it (EACCES: writable but not readable) is no failure, but the same errors elsewhere are.
TEST(ReplacementFileTest, AFailedCallIsReported) {
    testing::TempDir dir;
    testing::TempDir scratch;
    const fs::path input = dir.Path() / "demo.dsf";
    const fs::path output = dir.Path() / "demo.txt";
    testing::WriteFileBytes(input, testing::BuildDsf(DemoMomentData()));
    struct Case {
        std::string injection;
        std::string message;  // empty where the write succeeds
        bool replaced;
    };
    const std::string in_place = "the new file is in place, but its folder ";
    const std::vector<Case> cases = {
        {"fsync:error=EIO:when=1", "the file could not be flushed to disk: Input/output error",
         false},
        {"fsync:error=EINVAL:when=1", "the file could not be flushed to disk: Invalid argument",
         false},
        {"fsync:error=EIO:when=2", in_place + "could not be flushed to disk: Input/output error",
         true},
        {"fsync:error=EINTR:when=1", "", true},
        {"fsync:error=EINVAL:when=2", "", true},
        {"open_folder:error=EACCES:when=1", "", true},
        {"open_folder:error=EIO:when=1",
         in_place + "can't be opened to flush it to disk: Input/output error", true},
        {"write:error=EINTR:when=1", "", true},
        {"write:error=EIO:when=1", "writing the file failed: Input/output error", false},
        {"rename:error=EIO:when=1",
         "the finished file could not replace the old one: Input/output error", false}};
    for (const auto& [injection, message, replaced] : cases) {
        SCOPED_TRACE(injection);
        WriteFileText(output, "old");
        const testing::ChildResult child = testing::RunInjecting(
            DSF2VEMO_CLI_PATH, {injection},
            {"--list-separator", ",", "--decimal-separator", ".", input.string()}, scratch.Path());
        EXPECT_EQ(child.exit_status, message.empty() ? 0 : 1);
        EXPECT_EQ(child.err, message.empty() ? ""
                                             : "dsf2vemo-cli: error: cannot write '" +
                                                   output.string() + "': " + message + "\n");
        EXPECT_EQ(ReadFileText(output), replaced ? kDemoComma : "old");
        EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"demo.dsf", "demo.txt"}));
    }
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

// ReplaceFileW failing as Windows documents it can, a number of times before it works: a scanner
// holding the file (a sharing violation, access denied), the new file not moved (1176: without a
// backup name the old file is gone), the new file not moved after the old one went to the backup
// name (1177). The target holds the old file or the new one, and nothing else is left.
TEST(ReplacementFileTest, AFailedReplaceLeavesTheOldFileOrTheNewOne) {
    struct Case {
        DWORD error;
        int failures;
        std::string message;  // empty where the new file is in place
    };
    const std::vector<Case> cases = {
        {ERROR_SHARING_VIOLATION, 3, ""},
        {ERROR_ACCESS_DENIED, 100, "(tried 10 times in 900 ms)"},
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT, 1, "could not replace the old one"},
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, 1, "could not replace the old one"}};
    for (const auto& [error, failures, message] : cases) {
        SCOPED_TRACE(error);
        testing::TempDir dir;
        const fs::path target = dir.Path() / "study.txt";
        WriteFileText(target, "old");
        int calls = 0;
        const native_file::ReplaceFileCall system = native_file::SetReplaceFileCall(
            [&](const wchar_t* replaced, const wchar_t* replacement, const wchar_t* backup) {
                if (++calls > failures) {
                    return native_file::SystemReplaceFile(replaced, replacement, backup);
                }
                if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT && backup == nullptr) {
                    DeleteFileW(replaced);
                } else if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
                    const std::wstring elsewhere = std::wstring(replaced) + L".moved";
                    MoveFileExW(replaced, backup != nullptr ? backup : elsewhere.c_str(),
                                MOVEFILE_REPLACE_EXISTING);
                }
                SetLastError(error);
                return FALSE;
            });
        std::string thrown;
        try {
            WriteTextData(target, DemoMomentData(), {",", "."});
        } catch (const ConversionError& failure) {
            thrown = failure.what();
        }
        native_file::SetReplaceFileCall(system);
        EXPECT_THAT(thrown, HasSubstr(message));
        EXPECT_EQ(thrown.empty(), message.empty()) << thrown;
        EXPECT_EQ(ReadFileText(target), message.empty() ? kDemoComma : "old");
        EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"study.txt"});
    }
}

#endif

}  // namespace
}  // namespace dsf2vemo
