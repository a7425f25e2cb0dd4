#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <system_error>
#include <thread>

#include "ascii_text.h"
#include "conversion_error.h"
#include "native_file.h"

namespace dsf2vemo::native_file {

namespace fs = std::filesystem;

namespace {

std::string ErrorText(int error) {
    return std::generic_category().message(error);
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
        CannotWrite("the old file's permissions could not be kept: " + ErrorText(errno));
    }
}

// fsync, again where a signal interrupted it. On macOS fsync hands the data only to the drive,
// whose cache a power loss empties: F_FULLFSYNC has the drive write them, and where the file
// system refuses it, fsync is what there is.
int FlushToDisk(int descriptor) {
    int result = 0;
    do {
#ifdef F_FULLFSYNC
        result = fcntl(descriptor, F_FULLFSYNC);
        if (result != 0 && errno != EINTR) {
            result = fsync(descriptor);
        }
#else
        result = fsync(descriptor);
#endif
    } while (result != 0 && errno == EINTR);
    return result;
}

}  // namespace

bool CreateNew(const fs::path& path, NativeFile& file) {
    file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file < 0) {
        if (errno == EEXIST) {
            return false;
        }
        CannotWrite("the file can't be created in its folder: " + ErrorText(errno));
    }
    return true;
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

void Discard(NativeFile file) {
    close(file);
}

void Finish(NativeFile file, const fs::path& target) {
    try {
        KeepOwnerAndPermissions(file, target);
        if (FlushToDisk(file) != 0) {
            CannotWrite("the file could not be flushed to disk: " + ErrorText(errno));
        }
    } catch (...) {
        close(file);
        throw;
    }
    if (close(file) != 0) {
        CannotWrite("writing the file failed: " + ErrorText(errno));
    }
}

void PutInPlace(const fs::path& replacement, const fs::path& target) {
    if (rename(replacement.c_str(), target.c_str()) != 0) {
        CannotWrite("the finished file could not replace the old one: " + ErrorText(errno));
    }
}

void PutBack(const fs::path& kept, const fs::path& target) {
    int error = 0;
    for (int tries = 0; tries < kRetries; ++tries) {
        if (tries > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kRetryPauseMilliseconds));
        }
        if (rename(kept.c_str(), target.c_str()) == 0) {
            return;
        }
        error = errno;
    }
    CannotWrite("the old file could not be put back: " + ErrorText(error) + " (tried " +
                std::to_string(kRetries) + " times)");
}

// The permission the user has, not the owner's: a colleague's 0644 file in a folder both may
// write can be renamed over, but the writer's open of it would fail. A file nobody may write
// stays read-only for root too, as the read-only attribute does on Windows.
std::string WhyNotWritable(const fs::path& path) {
    struct stat existing {};
    if (stat(path.c_str(), &existing) != 0) {
        return {};
    }
    if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return "the file is read-only";
    }
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        return "the file is read-only for this user: " + ErrorText(errno);
    }
    return {};
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
                ErrorText(errno));
        }
        return;
    }
    const bool flushed = FlushToDisk(descriptor) == 0 || errno == EINVAL;
    const int error = errno;
    close(descriptor);
    if (!flushed) {
        CannotWrite("the new file is in place, but its folder could not be flushed to disk: " +
                    ErrorText(error));
    }
}

fs::file_type TypeAt(const fs::path& path) {
    std::error_code ec;
    return fs::status(path, ec).type();
}

bool EqualIgnoringCase(const fs::path::string_type& a, const fs::path::string_type& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

}  // namespace dsf2vemo::native_file
