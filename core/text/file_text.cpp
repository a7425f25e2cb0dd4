#include "file_text.h"

namespace dsf2vemo {

std::string HexByte(unsigned char byte) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0xF]};
}

std::string QuotedFileText(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsTextByte(byte)) {
            out += c;
        } else {
            out += "\\x" + HexByte(byte);
        }
    }
    return out + "\"";
}

}  // namespace dsf2vemo
