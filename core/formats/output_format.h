#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "block_text.h"
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
// The same for an input known by its name alone (a file handed over by a browser).
std::string DefaultOutputName(std::string_view input_name, OutputFormat format);

// The data file that goes with an Mplus input file: NAME.dat beside NAME.inp.
std::filesystem::path MplusDataPath(const std::filesystem::path& input_file);

// Checks `file` for a format of one file, Vemo or JSON, and returns what appends its bytes: the
// one road of those formats to a file, to standard output or to memory. Throws ConversionError
// (Refused) when the format can't hold what was read, std::invalid_argument for Mplus.
FileText SingleFileWriter(OutputFormat format, const DsfFile& file, const Separators& separators);

}  // namespace dsf2vemo
