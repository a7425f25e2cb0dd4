#include "fuzz_input.h"

#include "conversion_error.h"
#include "diagnosis.h"
#include "dsf_reader.h"
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

std::string CheckConversion(std::span<const std::byte> bytes) {
    const Separators separators = SeparatorsForFuzzInput(bytes);
    TextPane pane(separators.decimal);
    MomentData data;
    try {
        data = ParseDsf(bytes, pane);
    } catch (const ConversionError&) {
        return {};
    }
    std::string text;
    try {
        text = FormatTextData(data, separators);
    } catch (const ConversionError& error) {
        if (error.Kind() == ErrorKind::Refused) {
            return {};
        }
        return std::string("the writer failed without refusing: ") + error.what();
    }
    std::string failure = CompareTextData(data, text, separators);
    if (!failure.empty()) {
        failure += " (list separator '" + separators.list + "', decimal separator '" +
                   separators.decimal + "')";
    }
    return failure;
}

}  // namespace dsf2vemo::testing
