#pragma once

#include <filesystem>

namespace dsf2vemo {

// Refuses (ConversionError, CannotWrite) an output that can't be replaced: a folder, a named pipe,
// a socket or a device (also at the end of a chain of links), a file read-only to this user, a
// name in a folder that doesn't exist. Checked for every file a conversion writes before any of
// them is written.
void CheckOutputTarget(const std::filesystem::path& path);

// Whether writing `output` would write over `input`. Where both exist, the file system decides
// (hard links and other names of one file included); otherwise the absolute, normalised paths
// the names finally lead to (through links, dangling ones included) are compared ignoring case, as
// Windows and the usual macOS volumes do: a false match only refuses a write, a missed one would
// destroy the input.
bool IsSameFile(const std::filesystem::path& input, const std::filesystem::path& output);

}  // namespace dsf2vemo
