#pragma once

#include <filesystem>
#include <string_view>

namespace dsf2vemo {

// The output proposed for `input`: the input's folder, its name up to the last dot, and
// `extension` (study.dsf gives study.txt, my.study.final.dsf gives my.study.final.txt, a name
// without a dot just gains ".txt"). A relative input is taken from the current folder first.
// Throws ConversionError (CannotOpen) when the current folder can't be found.
std::filesystem::path DefaultOutputPath(const std::filesystem::path& input,
                                        std::string_view extension = ".txt");

// Whether writing `output` would write over `input`. Where both exist, the file system decides
// (hard links and other names of one file included); otherwise the absolute, normalised paths
// are compared ignoring case, as Windows and the usual macOS volumes do: a false match only
// refuses a write, a missed one would destroy the input.
bool IsSameFile(const std::filesystem::path& input, const std::filesystem::path& output);

}  // namespace dsf2vemo
