#include "fuzz_input.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "conversion_error.h"
#include "diagnosis.h"
#include "dsf_reader.h"
#include "format_read_back.h"
#include "json_writer.h"
#include "mplus_pair.h"
#include "results_pane.h"
#include "text_data_check.h"
#include "text_data_writer.h"
#include "three_decimals_reference.h"

namespace dsf2vemo::testing {

namespace {

char Byte(std::span<const std::byte> bytes, std::size_t index) {
    return static_cast<char>(std::to_integer<unsigned char>(bytes[index]));
}

}  // namespace

Separators SeparatorsForFuzzInput(std::span<const std::byte> bytes) {
    if (bytes.size() < 8) {
        return {",", "."};
    }
    switch (std::to_integer<unsigned>(bytes[0]) % 4) {
        case 0:
            return {",", "."};
        case 1:
            return {";", ","};
        case 2:
            return {"\t", "."};
        default:
            break;
    }
    const unsigned lengths = std::to_integer<unsigned>(bytes[1]);
    Separators separators;
    separators.list.clear();
    separators.decimal.clear();
    for (std::size_t i = 0; i < 1 + lengths % 3; ++i) {
        separators.list += Byte(bytes, 2 + i);
    }
    for (std::size_t i = 0; i < 1 + (lengths / 4) % 2; ++i) {
        separators.decimal += Byte(bytes, 5 + i);
    }
    return separators;
}

namespace {

// Records the numbers the reader hands to the pane instead of formatting them, so that the
// reader is fuzzed at its own speed; the echo fuzzer formats them.
class RecordingPane final : public ResultsPane {
  public:
    RecordingPane() : ResultsPane(".") {}

    void SetResultsText(std::string_view) override {}
    void AppendText(std::string_view) override {}
    void SetSelStart(std::size_t) override {}
    void AppendNumber(double value) override { values.push_back(value); }

    std::vector<double> values;
};

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The file as read, or nothing when the reader rejects it.
std::optional<DsfFile> Parsed(std::span<const std::byte> bytes) {
    NullPane pane;
    try {
        return ParseDsfFile(bytes, pane);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

// Runs `check`; a refusal is an accepted outcome, any other ConversionError a failure.
template <class Check>
std::string UnlessRefused(Check check) {
    try {
        return check();
    } catch (const ConversionError& error) {
        if (error.Kind() == ErrorKind::Refused) {
            return {};
        }
        return std::string("the writer failed without refusing: ") + error.what();
    }
}

// The echo of a file that was read: the lines ParseDsfFile writes, each number worked out apart.
std::string ExpectedEcho(const DsfFile& file, std::string_view decimal) {
    const MomentData& data = file.Moments;
    std::string echo = file.Header + "\r\n" + std::to_string(data.CaseCount) + " cases\r\n" +
                       std::to_string(data.VariableCount) + " variables\r\n";
    for (std::size_t i = 0; i < data.VariableNames.size(); ++i) {
        echo += (i > 0 ? ", " : "") + data.VariableNames[i];
    }
    echo += "\r\n\r\nCovariances\r\n";
    std::size_t k = 0;
    for (std::size_t i = 1; i <= data.Means.size(); ++i) {
        for (std::size_t j = 1; j <= i; ++j) {
            echo += " " + ReferenceThreeDecimals(data.Covariances.at(k++), decimal);
        }
        echo += "\r\n";
    }
    echo += "\r\nMeans\r\n";
    for (const double mean : data.Means) {
        echo += " " + ReferenceThreeDecimals(mean, decimal);
    }
    return echo;
}

}  // namespace

std::string CheckReader(std::span<const std::byte> bytes) {
    RecordingPane pane;
    try {
        const DsfFile file = ParseDsfFile(bytes, pane);
        const MomentData& data = file.Moments;
        const auto p = static_cast<std::size_t>(data.VariableCount);
        if (data.VariableNames.size() != p || data.Means.size() != p ||
            data.Covariances.size() != p * (p + 1) / 2) {
            return "the decoded arrays don't match the variable count";
        }
        std::vector<double> decoded = data.Covariances;
        decoded.insert(decoded.end(), data.Means.begin(), data.Means.end());
        if (!std::equal(decoded.begin(), decoded.end(), pane.values.begin(), pane.values.end(),
                        SameBits)) {
            return "the " + std::to_string(pane.values.size()) + " numbers echoed are not the " +
                   std::to_string(decoded.size()) + " decoded";
        }
        for (const Finding& finding : Diagnose(file)) {
            if (finding.Sentence.find_first_of("\r\n") != std::string::npos) {
                return "a finding takes more than one line: " + finding.Sentence;
            }
        }
    } catch (const ConversionError&) {
        // A rejected input is a correct outcome.
    }
    return {};
}

std::string CheckEcho(std::span<const std::byte> bytes) {
    const std::string decimal = SeparatorsForFuzzInput(bytes).decimal;
    TextPane pane(decimal);
    DsfFile file;
    try {
        file = ParseDsfFile(bytes, pane);
    } catch (const ConversionError&) {
        return {};
    }
    const std::string expected = ExpectedEcho(file, decimal);
    const std::string& echo = pane.Text();
    if (echo == expected) {
        return {};
    }
    const auto at = static_cast<std::size_t>(
        std::mismatch(echo.begin(), echo.end(), expected.begin(), expected.end()).first -
        echo.begin());
    const std::size_t from = at < 20 ? 0 : at - 20;
    return "the echo differs at character " + std::to_string(at) + ": \"" + echo.substr(from, 40) +
           "\", but \"" + expected.substr(from, 40) + "\" was expected";
}

int BitsBeyondDoublePrecision(std::span<const std::byte> bytes) {
    if (bytes.size() < static_cast<std::size_t>(kDsfFixedSize)) {
        return 0;
    }
    const auto unsigned_at = [&](std::size_t offset, std::size_t size) {
        std::uint64_t value = 0;
        for (std::size_t i = size; i-- > 0;) {
            value = value << 8 | std::to_integer<std::uint64_t>(bytes[offset + i]);
        }
        return value;
    };
    const auto p = static_cast<std::int32_t>(static_cast<std::uint32_t>(unsigned_at(68, 4)));
    // Past the reader's limit DsfSize itself would overflow.
    if (p < 1 || p > kMaxVariableCount || static_cast<std::int64_t>(bytes.size()) < DsfSize(p)) {
        return 0;
    }
    const auto first = static_cast<std::size_t>(kDsfFixedSize + 8 * std::int64_t{p});
    const auto count = static_cast<std::size_t>(CovarianceCount(p) + p);
    int bits = 0;
    for (std::size_t i = 0; i < count; ++i) {
        // The biased exponent: 1076 and up from 2^53, 2047 for the infinities and NaNs.
        const auto exponent = static_cast<int>(unsigned_at(first + 8 * i, 8) >> 52 & 0x7FF);
        if (exponent > 1075 && exponent < 0x7FF) {
            bits += exponent - 1075;
        }
    }
    return bits;
}

bool WithinEchoFuzzBudget(std::span<const std::byte> bytes) {
    return BitsBeyondDoublePrecision(bytes) <= kEchoFuzzBits;
}

std::string CheckTextData(std::span<const std::byte> bytes) {
    const std::optional<DsfFile> file = Parsed(bytes);
    if (!file) {
        return {};
    }
    const Separators separators = SeparatorsForFuzzInput(bytes);
    std::string difference = UnlessRefused([&] {
        return CompareTextData(file->Moments, FormatTextData(file->Moments, separators),
                               separators);
    });
    if (!difference.empty()) {
        difference += " (list separator '" + separators.list + "', decimal separator '" +
                      separators.decimal + "')";
    }
    return difference;
}

std::string CheckJson(std::span<const std::byte> bytes) {
    const std::optional<DsfFile> file = Parsed(bytes);
    return file ? UnlessRefused([&] { return CompareJson(*file, FormatJson(*file)); })
                : std::string();
}

std::string CheckMplus(std::span<const std::byte> bytes) {
    const std::optional<DsfFile> file = Parsed(bytes);
    return file ? UnlessRefused([&] { return CompareMplus(*file, FormatMplus(*file, "fuzz.dat")); })
                : std::string();
}

}  // namespace dsf2vemo::testing
