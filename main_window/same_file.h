#pragma once

#include <filesystem>

namespace dsf2vemo::gui {

// Whether the two paths name one file: the same file on disk, or (for a file that doesn't exist)
// the same absolute path, compared case-insensitively as Windows does.
bool NamesSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace dsf2vemo::gui
