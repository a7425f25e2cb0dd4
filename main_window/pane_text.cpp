#include "pane_text.h"

#include <algorithm>
#include <optional>

#include "text_encoding.h"
#include "wide_text.h"

namespace dsf2vemo::gui {

namespace {

std::optional<ByteMap<wchar_t>> PaneCharacters(unsigned code_page) {
    std::optional<ByteMap<wchar_t>> characters = SingleByteCharacters(code_page);
    if (characters) {
        (*characters)[0] = kNulSymbol;
    }
    return characters;
}

// Code pages whose characters take more than one byte: converted whole, as the system does it.
ControlText<wchar_t> ConvertedWhole(std::span<const std::string_view> pieces, std::size_t caret,
                                    unsigned code_page) {
    std::string joined;
    for (const std::string_view piece : pieces) {
        joined.append(piece);
    }
    ControlText<wchar_t> out{WideFromCodePage(code_page, joined), 0};
    const std::size_t wide_caret =
        caret >= joined.size()
            ? out.text.size()
            : WideFromCodePage(code_page, std::string_view(joined).substr(0, caret)).size();
    ReplaceNuls(out.text);
    out.caret = RichEditOffset(out.text, wide_caret);
    return out;
}

}  // namespace

void ReplaceNuls(std::wstring& text) {
    std::replace(text.begin(), text.end(), L'\0', kNulSymbol);
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

ControlText<wchar_t> PaneControlText(std::span<const std::string_view> pieces, std::size_t caret,
                                     unsigned code_page) {
    // The ANSI code page stays what it was at start-up: its table is made once.
    static const std::optional<ByteMap<wchar_t>> ansi_characters = PaneCharacters(CP_ACP);
    const std::optional<ByteMap<wchar_t>> characters =
        code_page == CP_ACP ? ansi_characters : PaneCharacters(code_page);
    if (!characters) {
        return ConvertedWhole(pieces, caret, code_page);
    }
    return MapToControlText(pieces, caret, *characters);
}

}  // namespace dsf2vemo::gui
