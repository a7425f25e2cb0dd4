#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "temporary_name.h"

namespace dsf2vemo {

// An open file of the operating system: a descriptor on POSIX, a HANDLE on Windows.
#ifdef _WIN32
using NativeFile = void*;
#else
using NativeFile = int;
#endif

// The new content of `target`, written to a temporary file of its own in the target's folder and
// put in the target's place only by Commit. Until then the target stays as it was; a replacement
// that is never put in place is removed, whatever failed, and so is one whose process is ended by
// SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE or SIGXFSZ (Ctrl+C or a closing console on Windows)
// meanwhile. Commit flushes the file to disk before it takes the target's place, and on POSIX the
// folder after: a crash or a power loss leaves the old file or the whole new one. A failed flush
// is a failed write.
//
// A target that is a symbolic link (or a chain of them; on Windows also a junction) stays one:
// the file it names is replaced, in that file's folder, and a dangling link's file is created.
//
// The temporary file is created exclusively: a name already taken, by a file or by a symbolic
// link planted there, is never opened, and the next name from `next_name` is tried. Commit keeps
// what the user had set on an existing target: its permission bits and, where the process may,
// its owner on POSIX; its attributes and security through ReplaceFileW on Windows. A target that
// is a hard link becomes a file of its own. Failures throw ConversionError (CannotWrite).
class ReplacementFile {
  public:
    explicit ReplacementFile(const std::filesystem::path& target,
                             const std::function<std::string()>& next_name = RandomTemporaryName);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    void Write(std::string_view bytes);
    // Finish, PutInPlace, FlushFolder.
    void Commit();

    // Commit in its steps, for files replaced together: each is finished before any takes its
    // target's place, and the folders are flushed once all have.
    //
    // Gives the file what the target had, flushes it to disk and closes it; the file is still
    // removed if it never takes the target's place.
    void Finish();
    // Puts the finished file in the target's place.
    void PutInPlace();
    // Flushes the target's folder to disk (POSIX), so that the new entry survives a crash.
    void FlushFolder() const;

    const std::filesystem::path& TemporaryPath() const { return path_; }

  private:
    std::filesystem::path target_;
    // On the list of live files while it exists, so it never changes after it is made.
    std::filesystem::path path_;
    NativeFile file_{};
    bool open_ = false;
    bool committed_ = false;
};

}  // namespace dsf2vemo
