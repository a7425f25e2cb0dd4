#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace dsf2vemo {

// The output proposed for `input`: the input's folder, its name up to the last dot, and
// `extension` (study.dsf gives study.txt, my.study.final.dsf gives my.study.final.txt, a name
// without a dot just gains ".txt"). A relative input is taken from the current folder first.
// Throws ConversionError (CannotOpen) when the current folder can't be found.
std::filesystem::path DefaultOutputPath(const std::filesystem::path& input,
                                        std::string_view extension = ".txt");

// The same rule for an input known by its name alone, as a browser hands a file over: the name
// up to the last dot and `extension`.
std::string DefaultOutputName(std::string_view input_name, std::string_view extension);

}  // namespace dsf2vemo
