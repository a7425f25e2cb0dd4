#pragma once

#include <string>
#include <string_view>

namespace dsf2vemo {

// Windows text conversions, for the few places where UTF-16 from the system meets the UTF-8 of
// messages or the single-byte ANSI text of files. Characters a code page lacks become its default
// character. Both throw std::length_error for text longer than Windows converts in one call.
std::wstring WideFromCodePage(unsigned code_page, std::string_view text);
std::string CodePageFromWide(unsigned code_page, std::wstring_view text);

}  // namespace dsf2vemo
