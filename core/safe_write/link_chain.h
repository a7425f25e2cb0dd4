#pragma once

#include <filesystem>

namespace dsf2vemo {

// The file a chain of links at `path` ends in (symbolic links; on Windows also junctions), or
// `path` itself when it is no link. A dangling chain gives the name its last link points to, the
// file that writing through the chain would create. A relative link is taken from the link's own
// folder, as the system does. A chain of more than 40 links is taken for a loop and throws
// ConversionError (CannotWrite), as does a link that can't be read.
std::filesystem::path FileNamedBy(std::filesystem::path path);

}  // namespace dsf2vemo
