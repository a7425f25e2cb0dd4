#pragma once

#include <filesystem>
#include <string>

#include "dsf_reader.h"

namespace dsf2vemo {

// The moments of `file` as one JSON object, UTF-8, for programs that read JSON:
//   {"header": "DEMO ...", "cases": 150, "variables": ["X1", "X2"],
//    "covariances": [[1.5], [0.3, 2.25]], "means": [10, 20.5]}
// The header (all 64 bytes, untrimmed) and the names are decoded from the file's code page;
// covariances are the lower triangle, one array per row. Numbers are in the shortest form that
// reads back as the same double, never rounded (negative zero as "-0.0"). Throws ConversionError
// (Refused) when a value is NaN or infinite, which JSON has no words for, or the arrays don't match
// the variable count.
std::string FormatJson(const DsfFile& file);

// Writes FormatJson to `path` the way WriteTextData writes: into a temporary file that replaces
// `path` only once complete.
void WriteJson(const std::filesystem::path& path, const DsfFile& file);

}  // namespace dsf2vemo
