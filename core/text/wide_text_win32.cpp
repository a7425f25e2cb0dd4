#include <windows.h>

#include <limits>
#include <stdexcept>

#include "wide_text.h"

namespace dsf2vemo {

namespace {

template <class Text>
int LengthOf(const Text& text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw std::length_error("the text is too long to convert");
    }
    return static_cast<int>(text.size());
}

}  // namespace

std::wstring WideFromCodePage(unsigned code_page, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = LengthOf(text);
    const int size = MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), length, wide.data(), size);
    return wide;
}

std::string CodePageFromWide(unsigned code_page, std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = LengthOf(text);
    const int size =
        WideCharToMultiByte(code_page, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(code_page, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

}  // namespace dsf2vemo
