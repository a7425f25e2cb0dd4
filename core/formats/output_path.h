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

}  // namespace dsf2vemo
