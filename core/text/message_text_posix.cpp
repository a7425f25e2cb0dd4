#include <array>

#include "message_text.h"

namespace dsf2vemo {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five it leaves undefined map to the C1 controls, as
// Windows maps them.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char16_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string MessageTextFromFile(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char byte : text) {
        const auto b = static_cast<unsigned char>(byte);
        if (b >= 0x80 && b < 0xA0) {
            AppendUtf8(out, kWindows1252High[b - 0x80]);
        } else {
            AppendUtf8(out, static_cast<char16_t>(b));
        }
    }
    return out;
}

std::string MessageTextFromSeparator(std::string_view separator) {
    return std::string(separator);
}

SingleByteCodePage NativeTextCodePage() {
    return {"", [](std::string_view text) { return std::optional<std::string>(text); }};
}

std::filesystem::path PathFromFileNameText(std::string_view text) {
    return std::filesystem::path(std::string(text));
}

}  // namespace dsf2vemo
