#include "file_conversion.h"

#include <exception>
#include <utility>

#include "conversion_error.h"
#include "failure_description.h"
#include "mplus_files.h"
#include "path_text.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

// Runs one step; a failure is `step` failing, or, where the failure names the file it
// concerns (the data file of Mplus), that file not being written.
template <class Step>
decltype(auto) RunStep(const std::string& step, Step&& run) {
    try {
        return run();
    } catch (const ConversionError& error) {
        if (!error.File().empty()) {
            throw StepFailure("cannot write '" + PathText(error.File()) + "'", error.what(),
                              error.Kind());
        }
        throw StepFailure(step, error.what(), error.Kind());
    } catch (...) {
        throw StepFailure(step, FailureDescription(std::current_exception()));
    }
}

}  // namespace

StepFailure::StepFailure(std::string step, std::string reason, std::optional<ErrorKind> kind)
    : std::runtime_error(step + ": " + reason),
      step_(std::move(step)),
      reason_(std::move(reason)),
      kind_(kind) {}

OutputChoice ChooseOutput(const fs::path& input, const std::optional<fs::path>& output,
                          std::optional<OutputFormat> format) {
    if (output) {
        return {*output, format.value_or(FormatOfPath(*output))};
    }
    const OutputFormat chosen = format.value_or(OutputFormat::Vemo);
    return {DefaultOutputPath(input, chosen), chosen};
}

FileConversion::FileConversion(fs::path input, std::string input_text)
    : input_(std::move(input)), input_text_(std::move(input_text)) {}

FileConversion::FileConversion(std::istream& stream, fs::path input, std::string input_text)
    : input_(std::move(input)), input_text_(std::move(input_text)), stream_(&stream) {}

const DsfFile& FileConversion::Read(ResultsPane& pane) {
    RunStep("cannot read '" + input_text_ + "'", [&] {
        file_ = stream_ != nullptr ? ReadDsfStream(*stream_, pane) : ReadDsfFile(input_, pane);
    });
    return *file_;
}

WrittenFiles FileConversion::Write(const std::optional<fs::path>& output,
                                   std::optional<OutputFormat> format,
                                   const Separators& separators) const {
    const OutputChoice choice = RunStep("cannot write the output of '" + input_text_ + "'", [&] {
        if (stream_ != nullptr && !output) {
            throw ConversionError(ErrorKind::CannotWrite,
                                  "it is read from a stream, which has no file name to name "
                                  "the output after");
        }
        return ChooseOutput(input_, output, format);
    });
    return RunStep("cannot write '" + PathText(choice.path) + "'", [&] {
        const auto written =
            input_.empty() ? std::nullopt : OutputThatIsInput(input_, choice.path, choice.format);
        if (written) {
            ConversionError refusal(ErrorKind::Refused, std::string(kWritingDestroysInput));
            refusal.ConcernsFile(*written);
            throw refusal;
        }
        WriteNotes notes = WriteOutput(choice.path, *file_, separators, choice.format);
        return WrittenFiles{FilesWritten(choice.path, choice.format), std::move(notes.warnings)};
    });
}

std::vector<Finding> FileConversion::Check(const DiagnosisOptions& options) const {
    return RunStep("cannot check '" + input_text_ + "'", [&] { return Diagnose(*file_, options); });
}

std::string FileConversion::PartedMplusPair() const {
    // A stream has nothing beside it.
    if (stream_ != nullptr) {
        return {};
    }
    const fs::path input_file = DefaultOutputPath(input_, OutputFormat::Mplus);
    return RunStep("cannot check '" + PathText(input_file) + "'",
                   [&] { return PartedPairProblem(input_file); });
}

}  // namespace dsf2vemo
