#include "output_format.h"

#include <algorithm>

#include "json_writer.h"
#include "mplus_writer.h"
#include "output_path.h"
#include "text_data_writer.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

bool IsExtension(const fs::path& path, std::string_view extension) {
    const fs::path::string_type actual = path.extension().native();
    return std::equal(actual.begin(), actual.end(), extension.begin(), extension.end(),
                      [](fs::path::value_type a, char b) {
                          const auto lower = (a >= 'A' && a <= 'Z') ? a - 'A' + 'a' : a;
                          return lower == static_cast<fs::path::value_type>(b);
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

std::vector<fs::path> OutputFiles(const fs::path& output, OutputFormat format) {
    if (format == OutputFormat::Mplus) {
        return {output, MplusDataPath(output)};
    }
    return {output};
}

std::optional<fs::path> OutputThatIsInput(const fs::path& input, const fs::path& output,
                                          OutputFormat format) {
    for (const fs::path& written : OutputFiles(output, format)) {
        if (IsSameFile(input, written)) {
            return written;
        }
    }
    return std::nullopt;
}

WriteNotes WriteOutput(const fs::path& output, const DsfFile& file, const Separators& separators,
                       OutputFormat format) {
    WriteNotes notes;
    switch (format) {
        case OutputFormat::Vemo:
            WriteTextData(output, file.Moments, separators);
            break;
        case OutputFormat::Json:
            WriteJson(output, file);
            break;
        case OutputFormat::Mplus: {
            const std::string sentence = RenamingSentence(WriteMplus(output, file));
            if (!sentence.empty()) {
                notes.warnings.push_back(sentence);
            }
            break;
        }
    }
    return notes;
}

}  // namespace dsf2vemo
