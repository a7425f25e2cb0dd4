#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <span>
#include <string>
#include <string_view>

#include "moment_data.h"
#include "results_pane.h"

namespace dsf2vemo {

// Bytes before the variable names: 64 of header text and the two counts.
inline constexpr std::int64_t kDsfFixedSize = 72;
// The largest variable count whose covariance count p(p+1) fits in 32-bit arithmetic.
inline constexpr std::int32_t kMaxVariableCount = 46340;

// Bytes a data system file with p variables needs: 72 + 20p + 4p^2.
constexpr std::int64_t DsfSize(std::int64_t variable_count) {
    return kDsfFixedSize + 20 * variable_count + 4 * variable_count * variable_count;
}

// The length of `text` without its trailing padding: spaces and NUL bytes, in any mix.
constexpr std::size_t UnpaddedSize(std::string_view text) {
    const auto last = text.find_last_not_of(std::string_view(" \0", 2));
    return last == std::string_view::npos ? 0 : last + 1;
}

// What a data system file holds: its 64-byte header text, untrimmed, and the moments.
struct DsfFile {
    std::string Header;
    MomentData Moments;
};

// Decodes a data system file held in memory, echoing header, counts, names, the covariance
// triangle and the means into `pane` as it goes. Bytes after the means are ignored. Throws
// ConversionError; the pane then holds what was echoed up to the failure.
MomentData ParseDsf(std::span<const std::byte> bytes, ResultsPane& pane);

// Reads the data system file at `path` (never creating it) and decodes it as ParseDsf does.
// Reads only the bytes the header declares, and never more than arrive: a named pipe is read as
// it comes. A folder and a device are refused before anything is read.
MomentData ReadDsf(const std::filesystem::path& path, ResultsPane& pane);

// ParseDsf and ReadDsf with the header text as well.
DsfFile ParseDsfFile(std::span<const std::byte> bytes, ResultsPane& pane);
DsfFile ReadDsfFile(const std::filesystem::path& path, ResultsPane& pane);
// ReadDsfFile from a stream that is already open (standard input): what follows the bytes the
// header declares stays unread in `in`.
DsfFile ReadDsfStream(std::istream& in, ResultsPane& pane);

}  // namespace dsf2vemo
