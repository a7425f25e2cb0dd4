#include "text_encoding.h"

#include <windows.h>

#include "wide_text.h"

namespace dsf2vemo::gui {

std::wstring AnsiToWide(std::string_view text) {
    return WideFromCodePage(CP_ACP, text);
}

std::wstring Utf8ToWide(std::string_view text) {
    return WideFromCodePage(CP_UTF8, text);
}

std::string WideToAnsi(std::wstring_view text) {
    return CodePageFromWide(CP_ACP, text);
}

std::optional<std::array<wchar_t, 256>> SingleByteCharacters(unsigned code_page) {
    CPINFO info{};
    if (!GetCPInfo(code_page, &info) || info.MaxCharSize != 1) {
        return std::nullopt;
    }
    std::array<char, 256> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i);
    }
    // One character per byte: the whole table in one call is every byte converted alone.
    std::array<wchar_t, 256> characters{};
    MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()),
                        characters.data(), static_cast<int>(characters.size()));
    return characters;
}

}  // namespace dsf2vemo::gui
