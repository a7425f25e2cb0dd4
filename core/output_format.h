#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dsf_reader.h"
#include "separators.h"

namespace dsf2vemo {

// What a conversion writes: the Vemo text data file, the moments as JSON, or Mplus summary data
// (an input file and its data file).
enum class OutputFormat { Vemo, Json, Mplus };

// The format an output name asks for, by its extension, ignoring case: ".json" is JSON, ".inp"
// Mplus, anything else (no extension included) the Vemo text data file. The window and the
// command line both decide by this.
OutputFormat FormatOfPath(const std::filesystem::path& output);

// The format a command line names: "vemo", "json" or "mplus"; std::nullopt for anything else.
std::optional<OutputFormat> FormatNamed(std::string_view name);

// ".txt", ".json" or ".inp".
std::string_view FormatExtension(OutputFormat format);

// The output proposed for `input` in `format`: its folder, its name up to the last dot, and the
// format's extension (study.dsf gives study.json).
std::filesystem::path DefaultOutputPath(const std::filesystem::path& input, OutputFormat format);

// Every file that writing `output` in `format` replaces: the output itself and, for Mplus, the
// data file beside it.
std::vector<std::filesystem::path> OutputFiles(const std::filesystem::path& output,
                                               OutputFormat format);

// Of the files writing `output` in `format` replaces, the one that is `input` itself, if any:
// writing would destroy the input, which the window and the command line both refuse with
// kWritingDestroysInput.
std::optional<std::filesystem::path> OutputThatIsInput(const std::filesystem::path& input,
                                                       const std::filesystem::path& output,
                                                       OutputFormat format);
inline constexpr std::string_view kWritingDestroysInput =
    "it is the input file itself, and writing it would destroy the input";

// What writing a file told about the data that the user should know: for Mplus, the names it
// had to change. Single-byte text in the file's code page, like the findings of the diagnosis.
struct WriteNotes {
    std::vector<std::string> warnings;
};

// Writes `file` to `output` in `format`, replacing what was there only once everything is
// written. Throws ConversionError.
WriteNotes WriteOutput(const std::filesystem::path& output, const DsfFile& file,
                       const Separators& separators, OutputFormat format);

}  // namespace dsf2vemo
