#pragma once

#include <string>
#include <string_view>

namespace dsf2vemo {

// Single-byte text in code page 1252 (Windows Western, what data system files hold) as UTF-8,
// for messages. The five bytes 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become
// U+FFFD.
std::string Utf8FromWindows1252(std::string_view text);

}  // namespace dsf2vemo
