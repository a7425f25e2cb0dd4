#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dsf2vemo::web {

// The page's text is UTF-8. A data system file's text, and the text data file's, is single-byte
// text in Windows-1252, as on the Windows the window runs on: the page writes the bytes the
// window writes there.

// The results pane's text for the page: UTF-8, with each NUL byte as U+2400, the symbol for NUL,
// as the window shows it.
std::string PageTextFromPane(std::string_view pane);
// Whether PageTextFromPane would give `pane` as it is: ASCII without NUL, almost all of an echo.
bool IsPageTextAsItIs(std::string_view pane);

// Text from the page (a separator, a file name) as the file's single-byte text; std::nullopt when
// Windows-1252 has no character for one of its characters.
std::optional<std::string> FileTextFromPage(std::string_view text);

}  // namespace dsf2vemo::web
