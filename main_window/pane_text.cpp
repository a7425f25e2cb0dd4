#include "pane_text.h"

#include <algorithm>

namespace dsf2vemo::gui {

void ReplaceNuls(std::wstring& text) {
    std::replace(text.begin(), text.end(), L'\0', L'\u2400');
}

std::size_t RichEditOffset(std::wstring_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    std::size_t pairs = 0;
    for (std::size_t i = 0; i + 1 < offset; ++i) {
        if (text[i] == L'\r' && text[i + 1] == L'\n') {
            ++pairs;
            ++i;
        }
    }
    return offset - pairs;
}

}  // namespace dsf2vemo::gui
