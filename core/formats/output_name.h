#pragma once

#include <string>
#include <string_view>

#include "output_format.h"

namespace dsf2vemo {

// The output name proposed for an input known by its name alone, as a browser hands a file
// over: the name up to the last dot and the format's extension (study.dsf gives study.json), the
// rule of DefaultOutputPath without a folder.
std::string DefaultOutputName(std::string_view input_name, OutputFormat format);

}  // namespace dsf2vemo
