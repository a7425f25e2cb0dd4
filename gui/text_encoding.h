#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace dsf2vemo::gui {

// Single-byte text in the ANSI code page (what the reader echoes) as UTF-16.
std::wstring AnsiToWide(std::string_view text);

// UTF-8 text (error descriptions) as UTF-16; invalid sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);

// UTF-16 text in the ANSI code page, for the few calls that take only that; characters it lacks
// become its default character.
std::string WideToAnsi(std::wstring_view text);

// The UTF-16 character of each byte 0 to 255 in `code_page` (CP_ACP: the ANSI code page), as
// MultiByteToWideChar converts a text of that code page byte by byte; nothing when the code page
// has characters of more than one byte, or is unknown.
std::optional<std::array<wchar_t, 256>> SingleByteCharacters(unsigned code_page);

}  // namespace dsf2vemo::gui
