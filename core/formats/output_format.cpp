#include "output_format.h"

#include <algorithm>
#include <stdexcept>

#include "ascii_text.h"
#include "json_writer.h"
#include "output_path.h"
#include "text_data_writer.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

bool IsExtension(const fs::path& path, std::string_view extension) {
    const fs::path::string_type actual = path.extension().native();
    return std::equal(actual.begin(), actual.end(), extension.begin(), extension.end(),
                      [](fs::path::value_type a, char b) {
                          return AsciiUpper(a) == static_cast<fs::path::value_type>(AsciiUpper(b));
                      });
}

}  // namespace

OutputFormat FormatOfPath(const fs::path& output) {
    if (IsExtension(output, ".json")) {
        return OutputFormat::Json;
    }
    if (IsExtension(output, ".inp")) {
        return OutputFormat::Mplus;
    }
    return OutputFormat::Vemo;
}

std::optional<OutputFormat> FormatNamed(std::string_view name) {
    if (name == "vemo") {
        return OutputFormat::Vemo;
    }
    if (name == "json") {
        return OutputFormat::Json;
    }
    if (name == "mplus") {
        return OutputFormat::Mplus;
    }
    return std::nullopt;
}

std::string_view FormatExtension(OutputFormat format) {
    switch (format) {
        case OutputFormat::Json:
            return ".json";
        case OutputFormat::Mplus:
            return ".inp";
        case OutputFormat::Vemo:
            break;
    }
    return ".txt";
}

fs::path DefaultOutputPath(const fs::path& input, OutputFormat format) {
    return DefaultOutputPath(input, FormatExtension(format));
}

std::string DefaultOutputName(std::string_view input_name, OutputFormat format) {
    return DefaultOutputName(input_name, FormatExtension(format));
}

fs::path MplusDataPath(const fs::path& input_file) {
    fs::path data = input_file;
    data.replace_extension(".dat");
    return data;
}

FileText SingleFileWriter(OutputFormat format, const DsfFile& file, const Separators& separators) {
    switch (format) {
        case OutputFormat::Vemo:
            return [writer = TextDataWriter(file.Moments, separators)](BlockText& out) {
                writer.AppendTo(out);
            };
        case OutputFormat::Json:
            return [writer = JsonWriter(file)](BlockText& out) { writer.AppendTo(out); };
        case OutputFormat::Mplus:
            break;
    }
    throw std::invalid_argument("Mplus summary data are two files");
}

}  // namespace dsf2vemo
