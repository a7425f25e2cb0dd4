#include "fuzz_input.h"

#include "conversion_error.h"
#include "diagnosis.h"
#include "dsf_reader.h"
#include "format_read_back.h"
#include "json_writer.h"
#include "mplus_pair.h"
#include "results_pane.h"
#include "text_data_check.h"
#include "text_data_writer.h"

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

std::string CheckReader(std::span<const std::byte> bytes) {
    TextPane pane;
    try {
        const DsfFile file = ParseDsfFile(bytes, pane);
        const MomentData& data = file.Moments;
        const auto p = static_cast<std::size_t>(data.VariableCount);
        if (data.VariableNames.size() != p || data.Means.size() != p ||
            data.Covariances.size() != p * (p + 1) / 2) {
            return "the decoded arrays don't match the variable count";
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

// Runs `check`; a refusal is an accepted outcome, any other ConversionError a failure.
template <class Check>
std::string UnlessRefused(std::string_view format, Check check) {
    try {
        std::string failure = check();
        return failure.empty() ? failure : std::string(format) + ": " + failure;
    } catch (const ConversionError& error) {
        if (error.Kind() == ErrorKind::Refused) {
            return {};
        }
        return std::string(format) + ": the writer failed without refusing: " + error.what();
    }
}

std::string CheckConversion(std::span<const std::byte> bytes) {
    const Separators separators = SeparatorsForFuzzInput(bytes);
    TextPane pane(separators.decimal);
    DsfFile file;
    try {
        file = ParseDsfFile(bytes, pane);
    } catch (const ConversionError&) {
        return {};
    }
    std::string failure = UnlessRefused("text data", [&] {
        std::string difference =
            CompareTextData(file.Moments, FormatTextData(file.Moments, separators), separators);
        if (!difference.empty()) {
            difference += " (list separator '" + separators.list + "', decimal separator '" +
                          separators.decimal + "')";
        }
        return difference;
    });
    if (failure.empty()) {
        failure = UnlessRefused("JSON", [&] { return CompareJson(file, FormatJson(file)); });
    }
    if (failure.empty()) {
        failure = UnlessRefused("Mplus",
                                [&] { return CompareMplus(file, FormatMplus(file, "fuzz.dat")); });
    }
    return failure;
}

}  // namespace dsf2vemo::testing
