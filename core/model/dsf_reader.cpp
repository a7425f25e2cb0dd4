#include "dsf_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <istream>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "conversion_error.h"

namespace dsf2vemo {

namespace {

static_assert(std::numeric_limits<double>::is_iec559, "data system files hold IEEE 754 doubles");

constexpr std::size_t kHeaderSize = 64;
constexpr std::size_t kNameSize = 8;

// Sequential little-endian decoding of a byte span whose length the caller has checked.
class ByteCursor {
  public:
    explicit ByteCursor(std::span<const std::byte> bytes) : bytes_(bytes) {}

    std::string_view Text(std::size_t size) {
        const std::string_view text(reinterpret_cast<const char*>(bytes_.data() + offset_), size);
        offset_ += size;
        return text;
    }

    std::uint64_t Unsigned(std::size_t size) {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value |= std::to_integer<std::uint64_t>(bytes_[offset_ + i]) << (8 * i);
        }
        offset_ += size;
        return value;
    }

    std::int32_t Int32() {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(Unsigned(4)));
    }
    // memcpy rather than std::bit_cast, which not every standard library here has yet.
    double Double() {
        const std::uint64_t bits = Unsigned(8);
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

  private:
    std::span<const std::byte> bytes_;
    std::size_t offset_ = 0;
};

// Leading spaces and the trailing padding go. Tools written in C may pad a name with NUL bytes
// where the format has spaces, so a NUL counts as padding at the end; elsewhere it stays.
std::string_view TrimName(std::string_view text) {
    text = text.substr(0, UnpaddedSize(text));
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

void AppendCount(ResultsPane& pane, std::int32_t count, std::string_view label) {
    std::array<char, 32> buffer{};
    char* end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), count).ptr;
    for (const char c : label) {
        *end++ = c;
    }
    pane.AppendText(std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data())));
}

std::string Plural(std::int64_t count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

// The text an echo of p variables takes, so the pane's buffer grows once.
std::size_t EchoSizeEstimate(std::int64_t p) {
    return static_cast<std::size_t>(static_cast<std::int64_t>(kHeaderSize) + 64 + 10 * p +
                                    8 * CovarianceCount(p) + 8 * p);
}

[[noreturn]] void ThrowCannotOpen(const std::string& reason) {
    throw ConversionError(ErrorKind::CannotOpen, reason);
}

// What a read of p variables holds at once: the file's bytes and the moment data.
std::int64_t ReadMemory(std::int64_t p) {
    return DsfSize(p) + 8 * (CovarianceCount(p) + p) +
           static_cast<std::int64_t>(sizeof(std::string)) * p;
}

[[noreturn]] void ThrowOutOfMemory(std::int64_t p) {
    const std::int64_t megabytes = std::max<std::int64_t>(1, (ReadMemory(p) + 500'000) / 1'000'000);
    throw ConversionError(ErrorKind::OutOfMemory, "not enough memory for " + Plural(p, "variable") +
                                                      " (" + std::to_string(megabytes) + " MB)");
}

void ParseMoments(ByteCursor& in, MomentData& data, ResultsPane& pane) {
    const std::int64_t p = data.VariableCount;
    const auto count = static_cast<std::size_t>(p);
    const auto covariance_count = static_cast<std::size_t>(CovarianceCount(p));
    data.VariableNames.reserve(count);
    data.Covariances.reserve(covariance_count);
    data.Means.reserve(count);
    pane.Reserve(EchoSizeEstimate(p));

    pane.AppendNewLine();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view name = TrimName(in.Text(kNameSize));
        if (i > 0) {
            pane.AppendText(", ");
        }
        pane.AppendText(name);
        data.VariableNames.emplace_back(name);
    }
    pane.AppendNewLine();
    pane.AppendNewLine();
    pane.AppendText("Covariances");
    pane.AppendNewLine();
    for (std::size_t i = 1; i <= count; ++i) {
        // The file's size was checked: a row is read whole, then echoed.
        const std::size_t row_start = data.Covariances.size();
        for (std::size_t j = 1; j <= i; ++j) {
            data.Covariances.push_back(in.Double());
        }
        pane.AppendNumbers(std::span(data.Covariances).subspan(row_start));
        pane.AppendNewLine();
    }
    pane.AppendNewLine();
    pane.AppendText("Means");
    pane.AppendNewLine();
    for (std::size_t i = 0; i < count; ++i) {
        data.Means.push_back(in.Double());
    }
    pane.AppendNumbers(data.Means);
}

// Where a stream of unknown length starts its buffer; it then doubles as bytes keep arriving.
constexpr std::size_t kFirstChunk = 64 * 1024;

// Appends bytes from `in` to `bytes` until it holds `wanted` or the stream ends. `size`, where
// known, is what the file holds: the buffer then takes it at once. Otherwise the buffer grows
// only as the bytes arrive, so that a count no stream lives up to can't claim gigabytes first.
void ReadUpTo(std::istream& in, std::vector<std::byte>& bytes, std::size_t wanted,
              std::optional<std::uintmax_t> size) {
    while (bytes.size() < wanted) {
        const std::size_t have = bytes.size();
        const std::size_t next =
            size && *size > have ? static_cast<std::size_t>(std::min<std::uintmax_t>(wanted, *size))
                                 : std::min(wanted, std::max(2 * have, kFirstChunk));
        bytes.resize(next);
        in.read(reinterpret_cast<char*>(bytes.data() + have),
                static_cast<std::streamsize>(next - have));
        const auto arrived = static_cast<std::size_t>(in.gcount());
        bytes.resize(have + arrived);
        // How many bytes came before the error is not known: a stream that fails mid-read
        // counts none of that read.
        if (in.bad()) {
            ThrowCannotOpen(errno != 0 ? "reading failed: " + std::generic_category().message(errno)
                                       : std::string("reading failed"));
        }
        if (arrived < next - have) {
            return;
        }
    }
}

// The bytes the counts at the start of `in` ask for and no more: the header and counts, then,
// where the variable count is one the reader takes, the names and moments. A file that keeps
// growing is read only that far; a short one gives what it holds, for ParseDsfFile to reject.
std::vector<std::byte> ReadNeededBytes(std::istream& in, std::optional<std::uintmax_t> size) {
    std::vector<std::byte> bytes;
    errno = 0;
    ReadUpTo(in, bytes, static_cast<std::size_t>(kDsfFixedSize), size);
    if (static_cast<std::int64_t>(bytes.size()) == kDsfFixedSize) {
        const std::int32_t p = ByteCursor(std::span<const std::byte>(bytes).subspan(68)).Int32();
        if (p >= 1 && p <= kMaxVariableCount) {
            try {
                ReadUpTo(in, bytes, static_cast<std::size_t>(DsfSize(p)), size);
            } catch (const std::bad_alloc&) {
                ThrowOutOfMemory(p);
            }
        }
    }
    return bytes;
}

}  // namespace

DsfFile ParseDsfFile(std::span<const std::byte> bytes, ResultsPane& pane) {
    if (static_cast<std::int64_t>(bytes.size()) < kDsfFixedSize) {
        throw ConversionError(
            ErrorKind::TooShort,
            "the file is " + Plural(static_cast<std::int64_t>(bytes.size()), "byte") +
                " long, but a data system file needs at least 72 bytes for its header and counts");
    }
    ByteCursor in(bytes);
    DsfFile file;
    file.Header = in.Text(kHeaderSize);
    pane.SetResultsText(file.Header);
    MomentData& data = file.Moments;
    data.CaseCount = in.Int32();
    data.VariableCount = in.Int32();
    pane.AppendNewLine();
    AppendCount(pane, data.CaseCount, " cases");
    pane.AppendNewLine();
    AppendCount(pane, data.VariableCount, " variables");

    const std::int64_t p = data.VariableCount;
    if (p < 1) {
        throw ConversionError(ErrorKind::BadValue,
                              "the file declares " + std::to_string(p) +
                                  " variables, but a data system file has at least 1");
    }
    if (p > kMaxVariableCount) {
        throw ConversionError(ErrorKind::Unsupported,
                              "the file declares " + std::to_string(p) +
                                  " variables, but at most 46340 are supported (the covariance "
                                  "count p(p+1)/2 must stay within 32-bit arithmetic)");
    }
    // Checked before anything is allocated, so a damaged header can't ask for gigabytes.
    if (static_cast<std::int64_t>(bytes.size()) < DsfSize(p)) {
        throw ConversionError(ErrorKind::TooShort,
                              "the file is " +
                                  Plural(static_cast<std::int64_t>(bytes.size()), "byte") +
                                  " long, but a data system file with " + Plural(p, "variable") +
                                  " needs " + std::to_string(DsfSize(p)) + " bytes");
    }

    try {
        ParseMoments(in, data, pane);
    } catch (const std::bad_alloc&) {
        ThrowOutOfMemory(p);
    }
    pane.SetSelStart(1);
    return file;
}

MomentData ParseDsf(std::span<const std::byte> bytes, ResultsPane& pane) {
    return ParseDsfFile(bytes, pane).Moments;
}

MomentData ReadDsf(const std::filesystem::path& path, ResultsPane& pane) {
    return ReadDsfFile(path, pane).Moments;
}

DsfFile ReadDsfStream(std::istream& in, ResultsPane& pane) {
    return ParseDsfFile(ReadNeededBytes(in, std::nullopt), pane);
}

DsfFile ReadDsfFile(const std::filesystem::path& path, ResultsPane& pane) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) {
        ThrowCannotOpen(std::make_error_code(std::errc::no_such_file_or_directory).message());
    }
    if (ec) {
        ThrowCannotOpen(ec.message());
    }
    switch (status.type()) {
        case fs::file_type::directory:
            ThrowCannotOpen("it is a folder, not a file");
        // A device would hand out bytes for ever (/dev/zero) or wait for a person (a terminal).
        case fs::file_type::character:
        case fs::file_type::block:
            ThrowCannotOpen("it is a device, not a data system file");
        default:
            break;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ThrowCannotOpen(errno != 0 ? std::generic_category().message(errno)
                                   : std::string("the file can't be opened"));
    }
    // A named pipe (a process substitution, /dev/stdin) has no size: it is read as it comes.
    std::optional<std::uintmax_t> size;
    if (status.type() == fs::file_type::regular) {
        size = fs::file_size(path, ec);
        if (ec) {
            ThrowCannotOpen(ec.message());
        }
    }
    return ParseDsfFile(ReadNeededBytes(file, size), pane);
}

}  // namespace dsf2vemo
