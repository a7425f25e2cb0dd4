#include "cli_app.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <sstream>
#include <utility>

#include "conversion_error.h"
#include "diagnosis.h"
#include "failure_description.h"
#include "file_conversion.h"
#include "message_text.h"
#include "output_format.h"
#include "path_text.h"
#include "version.h"

namespace dsf2vemo::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "dsf2vemo-cli";
// The input that is standard input; a file of that name is ./-.
constexpr const char* kStandardInputName = "-";

// What --help shows after the options: each format, for examples/demo.dsf.
constexpr const char* kFormatsHelp = R"(Formats, each shown for examples/demo.dsf:
  vemo, the text data file (separators from the locale or the options above):
    rowtype_,varname_,X1,X2
    n,,150,150
    cov,X1,1.5
    cov,X2,0.3,2.25
    mean,,10,20.5
  json, one UTF-8 object; numbers read back as the very doubles of the input:
    {
      "header": "DEMO",
      "cases": 150,
      "variables": ["X1", "X2"],
      "covariances": [
        [1.5],
        [0.3, 2.25]
      ],
      "means": [10, 20.5]
    }
  mplus, Mplus summary data: demo.inp, and demo.dat beside it. Names Mplus
  can't take become V<k> (k their position), with a comment and a warning
  for each. An existing demo.dat is replaced only where the demo.inp being
  replaced was written by this program with it: its first line records the
  data file's size and CRC-32.
    ! Written by dsf2vemo )" DSF2VEMO_VERSION_TEXT R"(; data file: 24 bytes, CRC-32 C01856BE
    TITLE: DEMO
    DATA: FILE = "demo.dat";
      TYPE = MEANS COVARIANCE;
      NOBSERVATIONS = 150;
    VARIABLE: NAMES = X1 X2;
    MODEL:
      ! the model goes here
  demo.dat, the means and then the lower triangle, a row to a line:
    10 20.5
    1.5
    0.3 2.25)";

struct Options {
    std::vector<std::string> inputs;
    std::string output;
    std::optional<std::string> list_separator;
    std::optional<std::string> decimal_separator;
    std::optional<std::string> format;
    bool echo = false;
    bool check = false;
    bool quiet = false;
};

class Converter {
  public:
    Converter(const Options& options, Separators separators, const StandardInput& in,
              std::ostream& out, std::ostream& err)
        : options_(options), separators_(std::move(separators)), in_(in), out_(out), err_(err) {}

    // Converts one input; reports a failure on the error stream and returns false. Whatever
    // fails, out of memory and file system errors included, ends only this input, and the
    // message names the file of the step that failed.
    bool Convert(const std::string& input_text) {
        if (RefusesStandardInput(input_text)) {
            return false;
        }
        FileConversion conversion = ConversionOf(input_text);
        // Nobody sees the echo without --echo: it is then neither kept nor formatted.
        TextPane echo(separators_.decimal);
        NullPane no_echo;
        ResultsPane& pane = options_.echo ? static_cast<ResultsPane&>(echo) : no_echo;
        try {
            conversion.Read(pane);
            std::vector<std::string> notes;
            if (options_.output == "-") {
                WriteToStandardOutput(conversion.File());
            } else {
                notes = conversion.Write(OutputOption(), FormatOption(), separators_).warnings;
            }
            if (options_.echo) {
                if (echoed_any_) {
                    out_ << '\n';
                }
                out_.write(echo.Text().data(), static_cast<std::streamsize>(echo.Text().size()));
                out_.flush();
                echoed_any_ = true;
            }
            const std::vector<Finding> findings =
                conversion.Check({separators_.decimal, options_.check});
            if (!options_.quiet) {
                for (const Finding& finding : findings) {
                    Warn(input_text, finding.Sentence);
                }
                for (const std::string& warning : notes) {
                    Warn(input_text, warning);
                }
            }
            return true;
        } catch (const StepFailure& failure) {
            return Fail(failure.Step(), failure.Reason());
        }
    }

    // Reads and diagnoses one input, writing nothing; prints its findings, and that of an Mplus
    // pair beside it parted by a conversion that was ended, or that there are none, on standard
    // output. Returns true when it was read and has no findings.
    bool Check(const std::string& input_text) {
        if (RefusesStandardInput(input_text)) {
            return false;
        }
        FileConversion conversion = ConversionOf(input_text);
        NullPane no_echo;
        std::vector<std::string> sentences;  // UTF-8
        try {
            conversion.Read(no_echo);
            for (const Finding& finding : conversion.Check({separators_.decimal, true})) {
                sentences.push_back(MessageTextFromFile(finding.Sentence));
            }
            if (std::string parted = conversion.PartedMplusPair(); !parted.empty()) {
                sentences.push_back(std::move(parted));
            }
        } catch (const StepFailure& failure) {
            return Fail(failure.Step(), failure.Reason());
        }
        if (!options_.quiet) {
            if (sentences.empty()) {
                out_ << input_text << ": no findings\n";
            }
            for (const std::string& sentence : sentences) {
                out_ << input_text << ": " << sentence << '\n';
            }
            out_.flush();
        }
        return sentences.empty();
    }

  private:
    FileConversion ConversionOf(const std::string& input_text) const {
        if (input_text == kStandardInputName) {
            return FileConversion(in_.stream, in_.path, input_text);
        }
        return FileConversion(PathFromUtf8(input_text), input_text);
    }

    // Reports, for "-", a standard input that is no data system file (a terminal, a device).
    bool RefusesStandardInput(const std::string& input_text) {
        return input_text == kStandardInputName && in_.refusal &&
               !Fail("cannot read '" + input_text + "'", *in_.refusal);
    }

    std::optional<OutputFormat> FormatOption() const {
        return options_.format ? FormatNamed(*options_.format) : std::nullopt;
    }

    std::optional<fs::path> OutputOption() const {
        return options_.output.empty() ? std::nullopt
                                       : std::optional(PathFromUtf8(options_.output));
    }

    // The whole text before its first byte goes out: a failure leaves nothing half written on
    // standard output. Mplus needs two files and is refused with -o - before anything is read.
    void WriteToStandardOutput(const DsfFile& file) {
        try {
            BlockText text;
            SingleFileWriter(FormatOption().value_or(OutputFormat::Vemo), file, separators_)(text);
            const std::string bytes = text.Take();
            out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out_.flush();
        } catch (...) {
            throw StepFailure("cannot write '-'", FailureDescription(std::current_exception()));
        }
    }

    void Warn(const std::string& input_text, std::string_view file_text) {
        err_ << kProgram << ": warning: " << input_text << ": " << MessageTextFromFile(file_text)
             << '\n';
    }

    bool Fail(const std::string& what, const std::string& reason) {
        err_ << kProgram << ": error: " << what << ": " << reason << '\n';
        return false;
    }

    const Options& options_;
    Separators separators_;
    const StandardInput& in_;
    std::ostream& out_;
    std::ostream& err_;
    bool echoed_any_ = false;
};

}  // namespace

int Run(const std::vector<std::string>& arguments, const Separators& locale, std::ostream& out,
        std::ostream& err) {
    std::istringstream nothing;
    return Run(arguments, locale,
               StandardInput{nothing, "no standard input is given to read from", {}}, out, err);
}

// The descriptions of the options are broken by hand to fit 80 columns beside the names.
int Run(const std::vector<std::string>& arguments, const Separators& locale, StandardInput in,
        std::ostream& out, std::ostream& err) {
    Options options;
    CLI::App app{
        "Converts data system files (*.dsf) into text data files of covariances and\n"
        "means, JSON or Mplus summary data.",
        kProgram};
    // "/name" is a path, never an option, also on Windows.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", "dsf2vemo " DSF2VEMO_VERSION_TEXT);
    app.footer(kFormatsHelp);
    app.add_option("INPUT", options.inputs, "data system files to convert; - reads standard\ninput")
        ->required()
        ->type_name("FILE.dsf");
    app.add_option("-o,--output", options.output,
                   "output file (one input only); \"-\" writes to\n"
                   "standard output; .json writes JSON, .inp Mplus\n"
                   "summary data, anything else the text data file")
        ->type_name("PATH");
    app.add_option("--format", options.format,
                   "the format whatever the output's extension;\n"
                   "without -o the output is named INPUT.txt,\n"
                   "INPUT.json or INPUT.inp (and INPUT.dat)")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"vemo", "json", "mplus"}));
    app.add_option("--list-separator", options.list_separator,
                   "field separator (default: the user's locale)")
        ->type_name("TEXT");
    app.add_option("--decimal-separator", options.decimal_separator,
                   "decimal separator (default: the user's locale)")
        ->type_name("TEXT");
    app.add_flag("--echo", options.echo,
                 "also print what was read (the results-pane text)\nto standard output");
    app.add_flag("--check", options.check, "only read and diagnose the inputs; write nothing");
    app.add_flag("--quiet", options.quiet, "no warnings about the data read");

    try {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);
        if (!options.output.empty() && options.inputs.size() > 1) {
            throw CLI::ValidationError("--output takes one input only, but " +
                                       std::to_string(options.inputs.size()) + " were given");
        }
        const auto reads_standard_input =
            std::count(options.inputs.begin(), options.inputs.end(), kStandardInputName);
        if (reads_standard_input > 1) {
            throw CLI::ValidationError("standard input (-) can be read once, but it was given " +
                                       std::to_string(reads_standard_input) + " times");
        }
        if (reads_standard_input == 1 && options.output.empty() && !options.check) {
            throw CLI::ValidationError(
                "reading standard input (-) needs -o to name the output (\"-o -\" writes to "
                "standard output)");
        }
        if (options.output == "-" && options.format == "mplus") {
            throw CLI::ValidationError(
                "--format mplus can't be combined with -o - (it writes two files)");
        }
        if (options.output == "-" && options.echo) {
            throw CLI::ValidationError(
                "--echo can't be combined with -o - (both use standard "
                "output)");
        }
#ifdef _WIN32
        // They arrive as UTF-8 but go into a file of ANSI text.
        for (auto& [option, value] :
             {std::pair{"--list-separator", &options.list_separator},
              std::pair{"--decimal-separator", &options.decimal_separator}}) {
            if (*value) {
                std::optional<std::string> ansi = AnsiFromUtf8(**value);
                if (!ansi) {
                    throw CLI::ValidationError(CodePageCannotHold(
                        option, **value, NativeTextCodePage().words, "text data file"));
                }
                **value = std::move(*ansi);
            }
        }
#endif
        if (options.check && (!options.output.empty() || options.echo || options.format)) {
            throw CLI::ValidationError(
                "--check writes and echoes nothing; it can't be combined with " +
                std::string(options.echo     ? "--echo"
                            : options.format ? "--format"
                                             : "-o"));
        }
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            // --help and --version.
            app.exit(error, out, err);
            return kExitSuccess;
        }
        err << kProgram << ": error: " << error.what()
            << "\nRun with --help for more information.\n";
        return kExitUsage;
    }

    Separators separators = locale;
    if (options.list_separator) {
        separators.list = *options.list_separator;
    }
    if (options.decimal_separator) {
        separators.decimal = *options.decimal_separator;
    }
    Converter converter(options, separators, in, out, err);
    bool all_converted = true;
    for (const std::string& input : options.inputs) {
        const bool done = options.check ? converter.Check(input) : converter.Convert(input);
        all_converted = done && all_converted;
    }
    return all_converted ? kExitSuccess : kExitConversionFailed;
}

}  // namespace dsf2vemo::cli
