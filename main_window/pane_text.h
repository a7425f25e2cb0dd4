#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dsf2vemo::gui {

// The echo as the results pane holds it: a window can't hold a NUL character (it would end the
// text there), so each NUL byte of a header or name shows as U+2400, the symbol for NUL. All
// other characters stay as they are.
void ReplaceNuls(std::wstring& text);

// The rich edit control keeps a paragraph end as one character: the caret offset of position
// `offset` in `text` once every CR LF counts as one.
std::size_t RichEditOffset(std::wstring_view text, std::size_t offset);

}  // namespace dsf2vemo::gui
