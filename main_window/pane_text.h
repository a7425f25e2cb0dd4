#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "control_text.h"

namespace dsf2vemo::gui {

// The echo as the results pane holds it: a window can't hold a NUL character (it would end the
// text there), so each NUL byte of a header or name shows as U+2400, the symbol for NUL. All
// other characters stay as they are.
void ReplaceNuls(std::wstring& text);
inline constexpr wchar_t kNulSymbol = L'\u2400';

// The rich edit control keeps a paragraph end as one character: the caret offset of position
// `offset` in `text` once every CR LF counts as one.
std::size_t RichEditOffset(std::wstring_view text, std::size_t offset);

// What the results pane's control is handed for `pieces` of single-byte text in `code_page`
// (CP_ACP: the ANSI code page), one after the other, with the caret at byte offset `caret` of
// them: the text in UTF-16 with each NUL as U+2400, and the caret as the control counts.
ControlText<wchar_t> PaneControlText(std::span<const std::string_view> pieces, std::size_t caret,
                                     unsigned code_page = CP_ACP);

}  // namespace dsf2vemo::gui
