#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace dsf2vemo::testing {

// Everything under `folder`, sorted, a line each: "name: text" for a file, "name -> target" for
// a symbolic link, "name/" for a folder; names relative to `folder`, with "/" between folders.
std::vector<std::string> FolderTree(const std::filesystem::path& folder);

// The same with each file's first line only, and the random part of the names of temporary and
// kept files ("dsf2vemo-1a2b.tmp") as "*", sorted again: what tests of failures compare.
std::vector<std::string> FolderFirstLines(const std::filesystem::path& folder);

}  // namespace dsf2vemo::testing
