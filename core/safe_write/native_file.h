#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "replacement_file.h"

// What a replacement file does with the operating system, one implementation a platform
// (native_file_posix.cpp, native_file_win32.cpp). Failures throw ConversionError (CannotWrite).
namespace dsf2vemo::native_file {

// Creates `path` for writing, never opening an existing file or following a link there; false
// when the name is taken.
bool CreateNew(const std::filesystem::path& path, NativeFile& file);
void WriteAll(NativeFile file, std::string_view bytes);
// Ignores failures: for files given up.
void Discard(NativeFile file);
// Gives the finished file what the target had (on POSIX its owner and permission bits; Windows
// keeps them in PutInPlace), flushes it to disk and closes it.
void Finish(NativeFile file, const std::filesystem::path& target);
// Puts the finished file at the target's name, replacing what was there.
void PutInPlace(const std::filesystem::path& replacement, const std::filesystem::path& target);
// Puts an old file kept under the name `kept` back at `target`'s, over the new file there. A
// failure is tried again, kRetries times in all over about a second, as a held file is on Windows
// (there through the same replace as PutInPlace); then it throws.
void PutBack(const std::filesystem::path& kept, const std::filesystem::path& target);
// Tries of a replace or a put-back that fails, and the pause between two.
inline constexpr int kRetries = 10;
inline constexpr int kRetryPauseMilliseconds = 100;
// Why this process can't replace the existing file at `path` (it is read-only, for everyone or
// for this user), or empty where it can or nothing is there.
std::string WhyNotWritable(const std::filesystem::path& path);
// Flushes the folder of `file` to disk, so that its new entry survives a crash (POSIX; Windows
// writes the move through).
void FlushFolder(const std::filesystem::path& file);
// The type of what is at `path`, links followed to the end of their chain; on Windows also
// devices (NUL, COM1) and pipes, which have no status the library reads.
std::filesystem::file_type TypeAt(const std::filesystem::path& path);
// Whether two absolute, normalised paths are the same ignoring case, as Windows and the usual
// macOS volumes compare names.
bool EqualIgnoringCase(const std::filesystem::path::string_type& a,
                       const std::filesystem::path::string_type& b);

// Whether FlushFolder does anything, and so can fail after a file is in place.
#ifdef _WIN32
inline constexpr bool kFlushesFolders = false;
#else
inline constexpr bool kFlushesFolders = true;
#endif

#ifdef _WIN32
// The system's words for a Windows error code, as UTF-8.
std::string ErrorText(unsigned long error);
#endif

}  // namespace dsf2vemo::native_file
