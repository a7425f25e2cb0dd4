#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The texts the about box shows, apart from any window.
namespace dsf2vemo::about {

// The version line before anything sets it.
inline constexpr wchar_t kDesignVersionLine[] = L"Build xx";

// The title for the caption ShowAbout is given: the caption itself, or "About" when it is empty.
std::wstring AboutTitle(std::wstring_view caption);

// "© " + year + " " + the holder.
std::wstring CopyrightNotice(std::wstring_view year);

// "Beta Test Build " + the number in plain decimal.
std::wstring BuildText(std::int32_t build_number);

// The version line a showing displays: the line as set, or the build text when it is empty.
std::wstring VersionLineToShow(std::wstring_view version_line, std::int32_t build_number);

// The address the link opens. The scheme is explicit so that the shell can never take the host
// name for a file in the working directory.
std::wstring LinkAddress();

}  // namespace dsf2vemo::about
