#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dsf2vemo {

// Messages are UTF-8. Text from a data system file (the header, the variable names) is single-byte
// text in the code page the file was written in: the ANSI code page on Windows, and Windows-1252
// elsewhere, the code page such files come from. This is that text as UTF-8, for a message.
std::string MessageTextFromFile(std::string_view text);

// A separator as UTF-8, for a message. On Windows separators are ANSI text like the names;
// elsewhere they come from the locale or the command line as they are, UTF-8 already.
std::string MessageTextFromSeparator(std::string_view separator);

// `text` in double quotes, as messages quote names, paths and separators.
inline std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

#ifdef _WIN32
// UTF-8 text in the ANSI code page, what the text data file is written in; std::nullopt when the
// code page has no character for one of its characters.
std::optional<std::string> AnsiFromUtf8(std::string_view text);

// The ANSI code page's number (1252 for Western European Windows).
unsigned AnsiCodePage();
#endif

}  // namespace dsf2vemo
