#include <windows.h>

#include "message_text.h"
#include "wide_text.h"

namespace dsf2vemo {

std::string MessageTextFromFile(std::string_view text) {
    return CodePageFromWide(CP_UTF8, WideFromCodePage(CP_ACP, text));
}

std::string MessageTextFromSeparator(std::string_view separator) {
    return MessageTextFromFile(separator);
}

std::optional<std::string> AnsiFromUtf8(std::string_view text) {
    const std::wstring wide = WideFromCodePage(CP_UTF8, text);
    if (wide.empty()) {
        return std::string();
    }
    const int length = static_cast<int>(wide.size());
    BOOL defaulted = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr,
                                         0, nullptr, &defaulted);
    if (size <= 0 || defaulted) {
        return std::nullopt;
    }
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, ansi.data(), size,
                        nullptr, &defaulted);
    return ansi;
}

unsigned AnsiCodePage() {
    return GetACP();
}

SingleByteCodePage NativeTextCodePage() {
    return {"the ANSI code page (" + std::to_string(AnsiCodePage()) + ")", AnsiFromUtf8};
}

std::filesystem::path PathFromFileNameText(std::string_view text) {
    return std::filesystem::path(WideFromCodePage(CP_ACP, text));
}

}  // namespace dsf2vemo
