#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace dsf2vemo::gui {

// The UTF-16 character each byte of a single-byte code page stands for.
template <class Char>
using ByteMap = std::array<Char, 256>;

// A text as the rich edit control takes it: UTF-16, and a caret position counted the way the
// control counts, with a paragraph end (CR LF) as one character.
template <class Char>
struct ControlText {
    std::basic_string<Char> text;
    std::size_t caret = 0;
};

// `pieces`, one after the other, each byte through `map`, with the caret at byte offset `caret`
// of them all (beyond the end: at the end). One allocation and one look-up per byte, so that a
// pane of tens of megabytes costs in proportion to its bytes and is never copied whole; a CR
// ending one piece and an LF starting the next are one paragraph end, as in the joined text.
template <class Char>
ControlText<Char> MapToControlText(std::span<const std::string_view> pieces, std::size_t caret,
                                   const ByteMap<Char>& map) {
    std::size_t size = 0;
    for (const std::string_view piece : pieces) {
        size += piece.size();
    }
    ControlText<Char> out;
    out.text.resize(size);
    Char* next = out.text.data();
    for (const std::string_view piece : pieces) {
        for (const char c : piece) {
            *next++ = map[static_cast<unsigned char>(c)];
        }
    }
    // Each CR LF that ends before the caret is one character fewer for the control.
    caret = caret < size ? caret : size;
    std::size_t pairs = 0;
    std::size_t offset = 0;
    bool after_cr = false;
    for (const std::string_view piece : pieces) {
        for (std::size_t i = 0; i < piece.size() && offset < caret; ++i, ++offset) {
            if (after_cr && piece[i] == '\n') {
                ++pairs;
            }
            after_cr = piece[i] == '\r';
        }
    }
    out.caret = caret - pairs;
    return out;
}

}  // namespace dsf2vemo::gui
