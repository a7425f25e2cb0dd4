#pragma once

#include <filesystem>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "conversion_error.h"
#include "diagnosis.h"
#include "dsf_reader.h"
#include "output_format.h"
#include "results_pane.h"
#include "separators.h"
#include "write_output.h"

namespace dsf2vemo {

// A step of a conversion that failed: which ("cannot read 'study.dsf'", "cannot write
// 'study.txt'") and why, in the converter's words. what() is both, as the command line prints
// them after "error: ".
class StepFailure : public std::runtime_error {
  public:
    StepFailure(std::string step, std::string reason, std::optional<ErrorKind> kind = std::nullopt);

    const std::string& Step() const { return step_; }
    const std::string& Reason() const { return reason_; }
    // The kind of the converter's error behind it, for callers that answer kinds differently, as
    // a package raises its language's own error for a missing file; none for any other failure.
    const std::optional<ErrorKind>& Kind() const { return kind_; }

  private:
    std::string step_;
    std::string reason_;
    std::optional<ErrorKind> kind_;
};

// Where a conversion writes and in what: the format named where one is, otherwise the one the
// output's extension asks for; without an output, the input's default name in that format.
struct OutputChoice {
    std::filesystem::path path;
    OutputFormat format;
};
OutputChoice ChooseOutput(const std::filesystem::path& input,
                          const std::optional<std::filesystem::path>& output,
                          std::optional<OutputFormat> format);

// What Write wrote: every file (for Mplus the input file, then its data file) and what writing
// told the user.
struct WrittenFiles {
    std::vector<std::filesystem::path> paths;
    std::vector<std::string> warnings;
};

// One data system file converted to a file, in the steps the command line and the packages for
// R and Python take: Read, then Write and Check in either order. Every failure, out of memory
// included, throws StepFailure naming the step, or the file that couldn't be written.
class FileConversion {
  public:
    // `input_text`: the input as the user named it, UTF-8, for the messages.
    FileConversion(std::filesystem::path input, std::string input_text);
    // Reads `stream` (standard input) instead of a file. `input`, where not empty, is a path to
    // the same file (/dev/stdin), only so that an output that would write over it is refused.
    // Write then needs an output: a stream has no name to put one beside.
    FileConversion(std::istream& stream, std::filesystem::path input, std::string input_text);

    // Reads the input, echoing it into `pane`.
    const DsfFile& Read(ResultsPane& pane);
    // Writes what was read as ChooseOutput decides; refuses an output that is the input.
    WrittenFiles Write(const std::optional<std::filesystem::path>& output,
                       std::optional<OutputFormat> format, const Separators& separators) const;
    // The diagnosis of what was read.
    std::vector<Finding> Check(const DiagnosisOptions& options) const;
    // Where the Mplus pair beside the input under its default name (INPUT.inp and its data file)
    // was parted by a conversion ended between its two files, the sentence (UTF-8) that says so;
    // otherwise empty, and always for a stream. Needs no Read.
    std::string PartedMplusPair() const;

    // After a successful Read.
    const DsfFile& File() const { return *file_; }

  private:
    std::filesystem::path input_;
    std::string input_text_;
    std::istream* stream_ = nullptr;
    std::optional<DsfFile> file_;
};

}  // namespace dsf2vemo
