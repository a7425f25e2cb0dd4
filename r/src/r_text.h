#pragma once

#include <cpp11.hpp>
#include <filesystem>
#include <string>
#include <vector>

namespace dsf2vemo::r {

// The first element of a character vector R code has checked: the name of a file to open, in the
// encoding R itself hands to the system (native bytes on POSIX, UTF-16 from UTF-8 on Windows).
std::filesystem::path PathFromR(SEXP text);

// The first element of a character vector as UTF-8, for messages.
std::string Utf8FromR(SEXP text);

// Whether an optional argument was left NULL.
bool IsNull(SEXP value);

// UTF-8 text as R holds it. A NUL byte, which no R string can hold, becomes U+FFFD, the
// replacement character: a name with one inside stays distinct from its neighbours.
cpp11::r_string RText(std::string text);
cpp11::writable::strings RTexts(const std::vector<std::string>& texts);

// A path as R's file functions take it back: native bytes on POSIX, UTF-8 on Windows.
cpp11::r_string RPath(const std::filesystem::path& path);

}  // namespace dsf2vemo::r
