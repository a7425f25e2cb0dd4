#include "text_encoding.h"

#include <windows.h>

#include <limits>
#include <stdexcept>

namespace dsf2vemo::gui {

namespace {

std::wstring ToWide(UINT code_page, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw std::length_error("the text is too long to convert");
    }
    const int size = static_cast<int>(text.size());
    const int wide_size = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
    if (wide_size <= 0) {
        throw std::runtime_error("the text could not be converted to Unicode");
    }
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), size, wide.data(), wide_size);
    return wide;
}

}  // namespace

std::wstring AnsiToWide(std::string_view text) {
    return ToWide(CP_ACP, text);
}

std::wstring Utf8ToWide(std::string_view text) {
    return ToWide(CP_UTF8, text);
}

std::string WideToAnsi(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw std::length_error("the text is too long to convert");
    }
    const int wide_length = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), wide_length, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

}  // namespace dsf2vemo::gui
