#include "json_writer.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "message_text.h"
#include "moment_checks.h"
#include "number_format.h"
#include "replacement_file.h"
#include "text_data_writer.h"

namespace dsf2vemo {

namespace {

// Text from the file as a JSON string. The library does the escaping (quotes, backslashes,
// control characters); the bytes arrive as UTF-8.
void AppendString(std::string& out, std::string_view file_text) {
    out += nlohmann::json(MessageTextFromFile(file_text)).dump();
}

// Negative zero as "-0.0": readers take "-0" for the integer 0 and lose the sign.
void AppendNumber(std::string& out, double value) {
    if (value == 0 && std::signbit(value)) {
        out += "-0.0";
    } else {
        AppendShortestNumber(out, value);
    }
}

// Appends the JSON text to `out`; after each row of values, `row_done(out)` may pass the text on
// and clear `out`. The numbers are written here rather than by the library: its form differs
// from the shortest round-trip form ("10.0" for 10).
template <class RowDone>
void AppendJson(const DsfFile& file, std::string& out, RowDone row_done) {
    const MomentData& data = file.Moments;
    out += "{\n  \"header\": ";
    AppendString(out, file.Header);
    out += ",\n  \"cases\": ";
    out += std::to_string(data.CaseCount);
    out += ",\n  \"variables\": [";
    for (std::size_t i = 0; i < data.VariableNames.size(); ++i) {
        if (i > 0) {
            out += ", ";
        }
        AppendString(out, data.VariableNames[i]);
    }
    out += "],\n  \"covariances\": [";
    std::size_t k = 0;
    for (std::size_t i = 0; i < data.VariableNames.size(); ++i) {
        out += i > 0 ? ",\n    [" : "\n    [";
        for (std::size_t j = 0; j <= i; ++j) {
            if (j > 0) {
                out += ", ";
            }
            AppendNumber(out, data.Covariances[k++]);
        }
        out += ']';
        row_done(out);
    }
    out += data.VariableNames.empty() ? "],\n  \"means\": [" : "\n  ],\n  \"means\": [";
    for (std::size_t i = 0; i < data.Means.size(); ++i) {
        if (i > 0) {
            out += ", ";
        }
        AppendNumber(out, data.Means[i]);
    }
    out += "]\n}\n";
}

constexpr std::string_view kFormatName = "JSON";

}  // namespace

std::string FormatJson(const DsfFile& file) {
    CheckFiniteMoments(file.Moments, kFormatName);
    std::string out;
    AppendJson(file, out, [](std::string&) {});
    return out;
}

void WriteJson(const std::filesystem::path& path, const DsfFile& file) {
    CheckFiniteMoments(file.Moments, kFormatName);
    CheckOutputTarget(path);
    ReplacementFile replacement(path);
    // Written in blocks of about a megabyte, as the text data file is.
    constexpr std::size_t kBlockSize = std::size_t{1} << 20;
    std::string block;
    block.reserve(2 * kBlockSize);
    AppendJson(file, block, [&replacement](std::string& text) {
        if (text.size() >= kBlockSize) {
            replacement.Write(text);
            text.clear();
        }
    });
    replacement.Write(block);
    replacement.Commit();
}

}  // namespace dsf2vemo
