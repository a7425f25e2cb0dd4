#include "utf8_split.h"

namespace dsf2vemo::cli {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// How many bytes a sequence with this first byte has; 0 for a byte that can't begin one.
std::size_t SequenceLength(unsigned char byte) {
    if (byte < 0x80) {
        return 1;
    }
    if ((byte & 0xE0) == 0xC0) {
        return 2;
    }
    if ((byte & 0xF0) == 0xE0) {
        return 3;
    }
    if ((byte & 0xF8) == 0xF0) {
        return 4;
    }
    return 0;
}

}  // namespace

std::size_t CompleteUtf8Length(std::string_view text) {
    // The last sequence starts at most three bytes before the end.
    std::size_t start = text.size();
    std::size_t continuations = 0;
    while (start > 0 && continuations < 3 &&
           IsContinuation(static_cast<unsigned char>(text[start - 1]))) {
        --start;
        ++continuations;
    }
    if (start == 0) {
        return text.size();
    }
    const std::size_t lead = start - 1;
    const std::size_t length = SequenceLength(static_cast<unsigned char>(text[lead]));
    if (length > 1 && lead + length > text.size()) {
        return lead;
    }
    return text.size();
}

}  // namespace dsf2vemo::cli
