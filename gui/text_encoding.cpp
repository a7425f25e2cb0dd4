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

}  // namespace dsf2vemo::gui
