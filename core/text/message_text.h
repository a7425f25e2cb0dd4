#pragma once

#include <filesystem>
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

// The words for text that the single-byte code page a file is written in has no character for:
// `what` "`text`" holds a character that `code_page` of the `file` can't hold.
inline std::string CodePageCannotHold(std::string_view what, std::string_view text,
                                      std::string_view code_page, std::string_view file) {
    return std::string(what) + " " + Quoted(text) + " holds a character that " +
           std::string(code_page) + " of the " + std::string(file) + " can't hold";
}

// A single-byte code page text is written in: its words in messages ("code page 1252") and the
// conversion of UTF-8 into it, std::nullopt where the code page has no character for one.
struct SingleByteCodePage {
    std::string words;
    std::optional<std::string> (*from_utf8)(std::string_view);
};

// The code page that text from the system (a file name, a separator given as an option) takes in
// a file written here: the ANSI code page on Windows; on Linux and macOS such text is bytes, taken
// as they are.
SingleByteCodePage NativeTextCodePage();
// A name in that code page, as a file holds it, as a path.
std::filesystem::path PathFromFileNameText(std::string_view text);

#ifdef _WIN32
// UTF-8 text in the ANSI code page, what the text data file is written in; std::nullopt when the
// code page has no character for one of its characters.
std::optional<std::string> AnsiFromUtf8(std::string_view text);

// The ANSI code page's number (1252 for Western European Windows).
unsigned AnsiCodePage();
#endif

}  // namespace dsf2vemo
