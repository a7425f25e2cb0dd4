#pragma once

#include <cstddef>
#include <string_view>

namespace dsf2vemo::cli {

// The length of the longest start of `text` that doesn't end inside a UTF-8 sequence: what can be
// converted now, keeping the rest until its last bytes arrive. Bytes that can neither begin nor
// continue a sequence count as complete, so invalid text never waits.
std::size_t CompleteUtf8Length(std::string_view text);

}  // namespace dsf2vemo::cli
