#include "replacement_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <random>
#include <system_error>
#include <utility>

#include "conversion_error.h"
#include "interrupt_cleanup.h"
#include "link_chain.h"
#include "wide_text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

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
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
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
    CannotWrite("no temporary file could be made in its folder: " +
                std::to_string(kTemporaryNameAttempts) + " names were taken");
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
