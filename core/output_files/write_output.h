#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dsf_reader.h"
#include "mplus_files.h"
#include "output_format.h"
#include "separators.h"

namespace dsf2vemo {

// Writing the formats to disk: each file goes to a temporary file beside its target, which
// replaces the target only once complete, so that a failure leaves no partial file and any
// existing file unchanged. A read-only target, and one that is no file (a folder, a pipe, a
// device), is refused before anything is written.
// Failures throw ConversionError; one that concerns a file other than the output named (the data
// file of Mplus) names that file in File().

// Writes FormatTextData to `path`.
void WriteTextData(const std::filesystem::path& path, const MomentData& data,
                   const Separators& separators);

// Writes FormatJson to `path`.
void WriteJson(const std::filesystem::path& path, const DsfFile& file);

// What writing a file told about the data that the user should know: for Mplus, the names it
// had to change. Single-byte text in the file's code page, like the findings of the diagnosis.
struct WriteNotes {
    std::vector<std::string> warnings;
};

// Writes `file` to `output` in `format`.
WriteNotes WriteOutput(const std::filesystem::path& output, const DsfFile& file,
                       const Separators& separators, OutputFormat format);

// Every file that writing `output` in `format` replaces: the output itself and, for Mplus, the
// data file beside the file it leads to (MplusPairPaths).
std::vector<std::filesystem::path> FilesWritten(const std::filesystem::path& output,
                                                OutputFormat format);

// Of the files writing `output` in `format` replaces, the one that is `input` itself, if any:
// writing would destroy the input, which the window and the command line both refuse with
// kWritingDestroysInput.
std::optional<std::filesystem::path> OutputThatIsInput(const std::filesystem::path& input,
                                                       const std::filesystem::path& output,
                                                       OutputFormat format);
inline constexpr std::string_view kWritingDestroysInput =
    "it is the input file itself, and writing it would destroy the input";

}  // namespace dsf2vemo
