#pragma once

#include <cstddef>
#include <string_view>

namespace dsf2vemo {

namespace detail {
template <class Char>
constexpr Char FoldCase(Char c) {
    // ASCII folding only: the path splitter searches for '\\' and '.', where folding is moot, and
    // other callers compare identifiers.
    return (c >= Char('a') && c <= Char('z')) ? Char(c - Char('a') + Char('A')) : c;
}
}  // namespace detail

// 1-based position in `text` of the last case-insensitive occurrence of `search`, or 0 when there
// is none (also for an empty search string or a search string longer than the text).
template <class Char>
constexpr std::size_t ReverseInstr(std::basic_string_view<Char> text,
                                   std::basic_string_view<Char> search) {
    const std::size_t m = search.size();
    if (m == 0 || m > text.size()) {
        return 0;
    }
    for (std::size_t i = text.size() - m + 1; i >= 1; --i) {
        bool equal = true;
        for (std::size_t k = 0; k < m && equal; ++k) {
            equal = detail::FoldCase(text[i - 1 + k]) == detail::FoldCase(search[k]);
        }
        if (equal) {
            return i;
        }
    }
    return 0;
}

}  // namespace dsf2vemo
