#include "replacement_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <random>
#include <system_error>
#include <utility>
#include <vector>

#include "conversion_error.h"
#include "path_text.h"
#include "wide_text.h"

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>

#include <mutex>
#else
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

// Names tried before giving up: a folder holding this many of ours has something wrong with it.
constexpr int kNameAttempts = 100;
// Links followed from the target before giving up, as many as Linux follows in one path: a
// longer chain is almost certainly a loop.
constexpr int kMaxLinks = 40;

[[noreturn]] void CannotWrite(const std::string& description) {
    throw ConversionError(ErrorKind::CannotWrite, description);
}

#ifdef _WIN32

using NativeFile = HANDLE;
const NativeFile kNoFile = INVALID_HANDLE_VALUE;

std::string ErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring wide = length > 0 ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L'.')) {
        wide.pop_back();
    }
    if (wide.empty()) {
        return "Windows error " + std::to_string(error);
    }
    return CodePageFromWide(CP_UTF8, wide);
}

// kNoFile when something of that name exists already. Others may delete it while it is open: the
// console handler does, on its own thread, when the program is ended meanwhile.
NativeFile CreateNew(const fs::path& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            CannotWrite("the file can't be created in its folder: " + ErrorText(error));
        }
    }
    return file;
}

void WriteAll(NativeFile file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            CannotWrite("writing the file failed: " + ErrorText(GetLastError()));
        }
        bytes.remove_prefix(written);
    }
}

bool CloseFile(NativeFile file) {
    return CloseHandle(file) != 0;
}

bool FlushFile(NativeFile file) {
    return FlushFileBuffers(file) != 0;
}

std::string LastErrorText() {
    return ErrorText(GetLastError());
}

void RemoveFile(const wchar_t* path) {
    DeleteFileW(path);
}

class UniqueHandle {
  public:
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

UniqueHandle OpenAny(const fs::path& path, DWORD flags) {
    return UniqueHandle(CreateFileW(path.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

// The name of an open file with every link and junction on its way resolved, in the usual form
// ("C:\...", "\\server\..."); empty where the system gives no such name.
fs::path FinalPath(HANDLE file) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return {};
        }
        const bool fits = length < name.size();
        name.resize(length);
        if (fits) {
            break;
        }
    }
    if (name.starts_with(L"\\\\?\\UNC\\")) {
        return L"\\\\" + name.substr(8);
    }
    if (name.starts_with(L"\\\\?\\")) {
        return name.substr(4);
    }
    return name;
}

// What the symbolic link or junction at `path` points to; empty when `path` is neither. The
// reparse data are decoded field by field: symbolic links carry a flags word before their names.
fs::path LinkTarget(const fs::path& path) {
    const UniqueHandle link = OpenAny(path, FILE_FLAG_OPEN_REPARSE_POINT);
    if (!link.Valid()) {
        return {};
    }
    std::vector<unsigned char> data(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD size = 0;
    if (!DeviceIoControl(link.Get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(),
                         static_cast<DWORD>(data.size()), &size, nullptr)) {
        return {};
    }
    const auto field = [&](std::size_t offset, std::size_t bytes) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < bytes && offset + i < size; ++i) {
            value |= static_cast<std::uint32_t>(data[offset + i]) << (8 * i);
        }
        return value;
    };
    const std::uint32_t tag = field(0, 4);
    if (tag != IO_REPARSE_TAG_SYMLINK && tag != IO_REPARSE_TAG_MOUNT_POINT) {
        return {};
    }
    const std::size_t names = tag == IO_REPARSE_TAG_SYMLINK ? 20 : 16;
    const auto name = [&](std::size_t field_offset) {
        const std::size_t offset = names + field(field_offset, 2);
        const std::size_t bytes = field(field_offset + 2, 2);
        if (offset + bytes > size) {
            return std::wstring();
        }
        std::wstring text(bytes / 2, L'\0');
        std::memcpy(text.data(), data.data() + offset, text.size() * 2);
        return text;
    };
    std::wstring target = name(12);  // the print name, as the user gave it
    if (target.empty()) {
        target = name(8);  // the substitute name, "\??\C:\..."
        if (target.starts_with(L"\\??\\")) {
            target.replace(0, 4, L"\\\\?\\");
        }
    }
    const bool relative = tag == IO_REPARSE_TAG_SYMLINK && (field(16, 4) & 1) != 0;
    return relative ? path.parent_path() / target : fs::path(target);
}

// The file a chain of links at `path` ends in. An existing file is named by the system; a
// dangling link is followed by hand to the name it gives.
fs::path FileNamedBy(fs::path path) {
    for (int links = 0;; ++links) {
        const UniqueHandle file = OpenAny(path, 0);
        if (file.Valid()) {
            fs::path final_path = FinalPath(file.Get());
            return final_path.empty() ? path : final_path;
        }
        fs::path next = LinkTarget(path);
        if (next.empty()) {
            return path;
        }
        if (links == kMaxLinks) {
            CannotWrite("the name leads through more than " + std::to_string(kMaxLinks) +
                        " links, which is taken for a loop");
        }
        path = std::move(next);
    }
}

// The attributes a user sets on a file and the replacement may take.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// ReplaceFileW keeps the target's attributes, security and time of creation; the attributes are
// also set beforehand, for file systems (and Wine) where it doesn't. A target that isn't there
// (or went meanwhile) is simply moved to.
void PutInPlace(const fs::path& replacement, const fs::path& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(replacement.c_str(), attributes & kKeptAttributes);
        if (ReplaceFileW(target.c_str(), replacement.c_str(), nullptr,
                         REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                         nullptr)) {
            return;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            CannotWrite("the finished file could not replace the old one: " + ErrorText(error));
        }
    }
    if (!MoveFileExW(replacement.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        CannotWrite("the finished file could not be put in place: " + LastErrorText());
    }
}

#else

using NativeFile = int;
const NativeFile kNoFile = -1;

std::string ErrorText(int error) {
    return std::generic_category().message(error);
}

NativeFile CreateNew(const fs::path& path) {
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file < 0 && errno != EEXIST) {
        CannotWrite("the file can't be created in its folder: " + ErrorText(errno));
    }
    return file;
}

void WriteAll(NativeFile file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(file, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            CannotWrite("writing the file failed: " +
                        ErrorText(written < 0 ? errno : static_cast<int>(ENOSPC)));
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

bool CloseFile(NativeFile file) {
    return close(file) == 0;
}

bool FlushFile(NativeFile file) {
    return fsync(file) == 0;
}

std::string LastErrorText() {
    return ErrorText(errno);
}

// Async-signal-safe: the interrupt handler calls it.
void RemoveFile(const char* path) {
    unlink(path);
}

// The file a chain of symbolic links at `path` ends in, whether it exists or not. A relative
// link is taken from the link's own folder, as the system does.
fs::path FileNamedBy(fs::path path) {
    for (int links = 0;; ++links) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) {
            return path;
        }
        if (links == kMaxLinks) {
            CannotWrite("the name leads through more than " + std::to_string(kMaxLinks) +
                        " symbolic links, which is taken for a loop");
        }
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) {
            CannotWrite("the symbolic link " + PathText(path) + " can't be read: " + ec.message());
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
}

// The owner first: changing it may clear the set-user-ID and set-group-ID bits, which the mode
// then restores. Only the owner's own files can be given away, so that step may fail quietly.
void KeepOwnerAndPermissions(NativeFile file, const fs::path& target) {
    struct stat existing {};
    if (stat(target.c_str(), &existing) != 0) {
        return;
    }
    if (fchown(file, existing.st_uid, existing.st_gid) != 0) {
        // Not allowed to give the file away: it stays the process's own.
    }
    if (fchmod(file, existing.st_mode & 07777) != 0) {
        CannotWrite("the old file's permissions could not be kept: " + LastErrorText());
    }
}

void PutInPlace(const fs::path& replacement, const fs::path& target) {
    if (rename(replacement.c_str(), target.c_str()) != 0) {
        CannotWrite("the finished file could not replace the old one: " + LastErrorText());
    }
}

// The new name is only an entry in the folder until the folder itself reaches the disk. A file
// system that can't flush folders (EINVAL) keeps its entries by other means, and a folder the
// user may write to but not read can't be opened for it: neither is a failure of the write.
void FlushFolder(const fs::path& file) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno != EACCES) {
            CannotWrite(
                "the new file is in place, but its folder can't be opened to flush it to "
                "disk: " +
                LastErrorText());
        }
        return;
    }
    const bool flushed = fsync(descriptor) == 0 || errno == EINVAL;
    const int error = errno;
    close(descriptor);
    if (!flushed) {
        CannotWrite("the new file is in place, but its folder could not be flushed to disk: " +
                    ErrorText(error));
    }
}

#endif

// Temporary files that exist and are not yet in place, for the interrupt handler to remove. The
// handler may run between any two statements (on Windows on a thread of its own) and must not
// allocate, so the list is a fixed set of slots, each the name of one file or null.
using PathChar = fs::path::value_type;
constexpr std::size_t kLiveSlots = 16;
std::array<std::atomic<const PathChar*>, kLiveSlots> live_files;
static_assert(std::atomic<const PathChar*>::is_always_lock_free);

bool AddLiveFile(const PathChar* path) {
    for (std::atomic<const PathChar*>& slot : live_files) {
        const PathChar* empty = nullptr;
        if (slot.compare_exchange_strong(empty, path)) {
            return true;
        }
    }
    return false;
}

void DropLiveFile(const PathChar* path) {
    for (std::atomic<const PathChar*>& slot : live_files) {
        const PathChar* expected = path;
        slot.compare_exchange_strong(expected, nullptr);
    }
}

void RemoveLiveFiles() {
    for (std::atomic<const PathChar*>& slot : live_files) {
        if (const PathChar* path = slot.load()) {
            RemoveFile(path);
        }
    }
}

#ifdef _WIN32

// The console handler runs on a thread of its own: this lock keeps it from removing a file in the
// middle of being created or put in place.
std::mutex live_files_lock;

// Ends the process as the system's own handler does on Ctrl+C, whatever the event, and so without
// returning: Wine's own handler ends it with status 0, which would pass an interrupted conversion
// for a successful one. Holding the lock to the end, nothing is put in place meanwhile.
BOOL WINAPI OnConsoleEvent(DWORD /*event*/) {
    const std::lock_guard lock(live_files_lock);
    RemoveLiveFiles();
    ExitProcess(STATUS_CONTROL_C_EXIT);
}

void WatchInterrupts() {
    static const bool watching = SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
    static_cast<void>(watching);
}

// Held while a file is made or put in place, and while the list changes.
class InterruptsHeld {
  public:
    InterruptsHeld() : lock_(live_files_lock) {}

  private:
    std::lock_guard<std::mutex> lock_;
};

#else

// What git does with its temporary files: the handler removes them, puts back the handler that
// was there before and raises the signal again, so that the process still ends by it and its
// parent sees the usual status (130 for SIGINT, 143 for SIGTERM).
constexpr std::array kInterrupts = {SIGINT, SIGTERM, SIGHUP};
std::array<struct sigaction, kInterrupts.size()> previous_actions;

sigset_t InterruptSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kInterrupts) {
        sigaddset(&set, signal);
    }
    return set;
}

void OnInterrupt(int signal) {
    const int saved_errno = errno;
    RemoveLiveFiles();
    for (std::size_t i = 0; i < kInterrupts.size(); ++i) {
        if (kInterrupts[i] == signal) {
            sigaction(signal, &previous_actions[i], nullptr);
        }
    }
    raise(signal);
    errno = saved_errno;
}

// A signal the process was started to ignore (nohup, a background job) stays ignored.
void WatchInterrupts() {
    static const bool watching = [] {
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        action.sa_mask = InterruptSet();
        for (std::size_t i = 0; i < kInterrupts.size(); ++i) {
            sigaction(kInterrupts[i], nullptr, &previous_actions[i]);
            const bool ignored = (previous_actions[i].sa_flags & SA_SIGINFO) == 0 &&
                                 previous_actions[i].sa_handler == SIG_IGN;
            if (!ignored) {
                sigaction(kInterrupts[i], &action, nullptr);
            }
        }
        return true;
    }();
    static_cast<void>(watching);
}

// Held while a file is made or put in place, and while the list changes: a signal then waits
// until the list says again what exists.
class InterruptsHeld {
  public:
    InterruptsHeld() {
        const sigset_t set = InterruptSet();
        pthread_sigmask(SIG_BLOCK, &set, &saved_);
    }
    ~InterruptsHeld() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

  private:
    sigset_t saved_;
};

#endif

}  // namespace

std::string RandomTemporaryName() {
    static std::random_device random;
    char digits[8];
    const auto end = std::to_chars(std::begin(digits), std::end(digits),
                                   std::uniform_int_distribution<std::uint32_t>()(random), 16);
    return "dsf2vemo-" + std::string(std::begin(digits), end.ptr) + ".tmp";
}

ReplacementFile::ReplacementFile(const fs::path& target,
                                 const std::function<std::string()>& next_name)
    : target_(FileNamedBy(target)) {
    WatchInterrupts();
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        path_ = target_.parent_path() / next_name();
        const InterruptsHeld held;
        const NativeFile file = CreateNew(path_);
        if (file == kNoFile) {
            continue;
        }
        if (!AddLiveFile(path_.c_str())) {
            CloseFile(file);
            RemoveFile(path_.c_str());
            CannotWrite("more than " + std::to_string(kLiveSlots) +
                        " files are being written at once");
        }
#ifdef _WIN32
        handle_ = file;
#else
        descriptor_ = file;
#endif
        return;
    }
    CannotWrite("no temporary file could be made in its folder: " + std::to_string(kNameAttempts) +
                " names were taken");
}

ReplacementFile::~ReplacementFile() {
    if (!committed_) {
        Close();
        const InterruptsHeld held;
        RemoveFile(path_.c_str());
        DropLiveFile(path_.c_str());
    }
}

void ReplacementFile::Close() {
#ifdef _WIN32
    if (handle_ != nullptr) {
        CloseFile(std::exchange(handle_, nullptr));
    }
#else
    if (descriptor_ >= 0) {
        CloseFile(std::exchange(descriptor_, -1));
    }
#endif
}

void ReplacementFile::Write(std::string_view bytes) {
#ifdef _WIN32
    WriteAll(handle_, bytes);
#else
    WriteAll(descriptor_, bytes);
#endif
}

// The content reaches the disk before the name points at it, and on POSIX the name after: a
// crash or power loss at any moment leaves the old file or the whole new one.
void ReplacementFile::Commit() {
#ifdef _WIN32
    if (!FlushFile(handle_)) {
        CannotWrite("the file could not be flushed to disk: " + LastErrorText());
    }
    if (!CloseFile(std::exchange(handle_, nullptr))) {
        CannotWrite("writing the file failed: " + LastErrorText());
    }
#else
    KeepOwnerAndPermissions(descriptor_, target_);
    if (!FlushFile(descriptor_)) {
        CannotWrite("the file could not be flushed to disk: " + LastErrorText());
    }
    if (!CloseFile(std::exchange(descriptor_, -1))) {
        CannotWrite("writing the file failed: " + LastErrorText());
    }
#endif
    {
        const InterruptsHeld held;
        PutInPlace(path_, target_);
        DropLiveFile(path_.c_str());
        committed_ = true;
    }
#ifndef _WIN32
    FlushFolder(target_);
#endif
}

}  // namespace dsf2vemo
