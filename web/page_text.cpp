#include "page_text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "message_text.h"

namespace dsf2vemo::web {

namespace {

// UTF-8 of each byte 0x80 to 0xFF, by the one decoding of file text there is.
const std::array<std::string, 128>& HighBytesAsUtf8() {
    static const std::array<std::string, 128> table = [] {
        std::array<std::string, 128> utf8;
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            utf8[i] = MessageTextFromFile(std::string(1, static_cast<char>(0x80 + i)));
        }
        return utf8;
    }();
    return table;
}

// Bytes in the UTF-8 sequence that `lead` begins; 0 for a byte no sequence begins with.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead < 0xE0) {
        return 2;
    }
    if (lead >= 0xE0 && lead < 0xF0) {
        return 3;
    }
    if (lead >= 0xF0 && lead < 0xF5) {
        return 4;
    }
    return 0;
}

// A byte that is not the same in the page's text.
bool NeedsChange(char byte) {
    return byte == '\0' || static_cast<unsigned char>(byte) >= 0x80;
}

}  // namespace

bool IsPageTextAsItIs(std::string_view pane) {
    // Eight bytes at a time: none has its high bit set, and none is NUL.
    constexpr std::uint64_t kLow = 0x0101010101010101;
    constexpr std::uint64_t kHigh = 0x8080808080808080;
    std::size_t at = 0;
    for (; at + 8 <= pane.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, pane.data() + at, sizeof word);
        if ((word & kHigh) != 0 || ((word - kLow) & ~word & kHigh) != 0) {
            return false;
        }
    }
    return std::none_of(pane.begin() + static_cast<std::ptrdiff_t>(at), pane.end(), NeedsChange);
}

std::string PageTextFromPane(std::string_view pane) {
    std::string text;
    text.reserve(pane.size());
    // Runs of ASCII other than NUL, almost all of an echo, go as they are.
    for (auto run = pane.begin(); run != pane.end();) {
        const auto changed = std::find_if(run, pane.end(), NeedsChange);
        text.append(run, changed);
        if (changed == pane.end()) {
            break;
        }
        if (*changed == '\0') {
            text += "\u2400";
        } else {
            text += HighBytesAsUtf8()[static_cast<unsigned char>(*changed) - 0x80];
        }
        run = changed + 1;
    }
    return text;
}

std::optional<std::string> FileTextFromPage(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceLength(static_cast<unsigned char>(text[i]));
        if (length == 0 || i + length > text.size()) {
            return std::nullopt;
        }
        const std::string_view character = text.substr(i, length);
        i += length;
        if (length == 1) {
            bytes += character;
            continue;
        }
        const auto& table = HighBytesAsUtf8();
        std::size_t byte = 0;
        while (byte < table.size() && table[byte] != character) {
            ++byte;
        }
        if (byte == table.size()) {
            return std::nullopt;
        }
        bytes += static_cast<char>(0x80 + byte);
    }
    return bytes;
}

}  // namespace dsf2vemo::web
