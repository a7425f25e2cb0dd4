#include "json_writer.h"

#include <nlohmann/json.hpp>

#include "message_text.h"
#include "moment_checks.h"
#include "number_format.h"

namespace dsf2vemo {

namespace {

// Text from the file as a JSON string. The library does the escaping (quotes, backslashes,
// control characters); the bytes arrive as UTF-8.
void AppendString(std::string& out, std::string_view file_text) {
    out += nlohmann::json(MessageTextFromFile(file_text)).dump();
}

// The numbers are written here rather than by the library: its form differs from the shortest
// round-trip form ("10.0" for 10).
void AppendNumber(std::string& out, double value) {
    AppendShortestNumber(out, value, {.exponent = 'e', .negative_zero_with_point = true});
}

}  // namespace

JsonWriter::JsonWriter(const DsfFile& file) : file_(file) {
    CheckFiniteMoments(file.Moments, "JSON");
}

void JsonWriter::AppendTo(BlockText& block) const {
    std::string& out = block.Text();
    const MomentData& data = file_.Moments;
    out += "{\n  \"header\": ";
    AppendString(out, std::string_view(file_.Header).substr(0, UnpaddedSize(file_.Header)));
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
    for (std::size_t i = 0; i < data.VariableNames.size(); ++i) {
        out += i > 0 ? ",\n    [" : "\n    [";
        const std::span<const double> row = CovarianceRow(data.Covariances, i);
        for (std::size_t j = 0; j < row.size(); ++j) {
            if (j > 0) {
                out += ", ";
            }
            AppendNumber(out, row[j]);
        }
        out += ']';
        block.LineDone();
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

std::string FormatJson(const DsfFile& file) {
    BlockText out;
    JsonWriter(file).AppendTo(out);
    return out.Take();
}

}  // namespace dsf2vemo
