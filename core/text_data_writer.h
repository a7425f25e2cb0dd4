#pragma once

#include <filesystem>
#include <string>

#include "moment_data.h"
#include "separators.h"

namespace dsf2vemo {

// The text data file for `data`: a "rowtype_"/"varname_" header line, an "n" line, one "cov"
// line per variable with the lower triangle, and a "mean" line, each ended by CR LF. Throws
// ConversionError (Refused) when the result would read back wrongly: an empty separator, a
// separator holding a line end, an ASCII letter, a digit, "+", "-" or "_" (what numbers and the
// fixed words are made of), list and decimal separators sharing a character, a name holding the
// list separator or a line end, a name ending in part of a list separator that can overlap
// itself ("A|" before "||"), or arrays that don't match the variable count.
std::string FormatTextData(const MomentData& data, const Separators& separators);

// Refuses (ConversionError, CannotWrite) an output that can't be replaced: a folder, a read-only
// file, a name in a folder that doesn't exist.
void CheckOutputTarget(const std::filesystem::path& path);

// Writes FormatTextData to `path`. The text goes to a temporary file beside `path`, which
// replaces `path` only once complete: a failure leaves no partial file and any existing file
// unchanged. A read-only or folder target is refused.
void WriteTextData(const std::filesystem::path& path, const MomentData& data,
                   const Separators& separators);

}  // namespace dsf2vemo
