#pragma once

namespace dsf2vemo {

// ASCII only, whatever the locale: names in data system files, extensions and the rules of
// other programs' formats are compared and folded byte by byte (or UTF-16 unit by unit).
template <class Char>
constexpr Char AsciiUpper(Char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<Char>(c - 'a' + 'A') : c;
}

constexpr bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace dsf2vemo
