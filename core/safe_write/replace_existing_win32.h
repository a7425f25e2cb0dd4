#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>

namespace dsf2vemo::native_file {

// Puts the finished file `replacement` at the name of the existing file `target` through
// ReplaceFileW, which keeps the target's attributes and security. The old file goes to a backup
// name of its own first, and is removed only once the new file is in place: after any failure
// the target holds the old file or the new one, never neither. A sharing violation or a denied
// access (a virus scanner or an indexer holding the file for a moment) is tried again over about
// a second before it is reported. Failures throw ConversionError (CannotWrite).
void ReplaceExisting(const std::filesystem::path& replacement, const std::filesystem::path& target);

// ReplaceFileW as ReplaceExisting calls it (the flags are its own), the seam through which tests
// make it fail as it can fail on Windows; the failure is in GetLastError.
using ReplaceFileCall =
    std::function<BOOL(const wchar_t* replaced, const wchar_t* replacement, const wchar_t* backup)>;
BOOL SystemReplaceFile(const wchar_t* replaced, const wchar_t* replacement, const wchar_t* backup);

// Makes ReplaceExisting call `call` (SystemReplaceFile unless a test sets another); returns the
// one set before.
ReplaceFileCall SetReplaceFileCall(ReplaceFileCall call);

}  // namespace dsf2vemo::native_file
