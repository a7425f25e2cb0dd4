#pragma once

#include <string>
#include <string_view>

namespace dsf2vemo {

// Whether a byte of a header or name is text: not a control character and not one of the bytes
// code page 1252 leaves undefined.
constexpr bool IsTextByte(unsigned char byte) {
    return byte >= 0x20 && byte != 0x7F && byte != 0x81 && byte != 0x8D && byte != 0x8F &&
           byte != 0x90 && byte != 0x9D;
}

// Two hexadecimal digits, upper case ("0A").
std::string HexByte(unsigned char byte);

// Text from a file in double quotes, with every byte that is not text as "\xNN", so that a
// message stays one line of readable text whatever the file holds. Still single-byte text in
// the file's code page.
std::string QuotedFileText(std::string_view text);

}  // namespace dsf2vemo
