#include "cli_app.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <utility>

#include "conversion_error.h"
#include "dsf_reader.h"
#include "message_text.h"
#include "output_path.h"
#include "path_text.h"
#include "text_data_writer.h"

namespace dsf2vemo::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "dsf2vemo-cli";

struct Options {
    std::vector<std::string> inputs;
    std::string output;
    std::optional<std::string> list_separator;
    std::optional<std::string> decimal_separator;
    bool echo = false;
};

class Converter {
  public:
    Converter(const Options& options, Separators separators, std::ostream& out, std::ostream& err)
        : options_(options), separators_(std::move(separators)), out_(out), err_(err) {}

    // Converts one input; reports a failure on the error stream and returns false. Whatever
    // fails, out of memory and file system errors included, ends only this input.
    bool Convert(const std::string& input_text) {
        const bool to_stdout = options_.output == "-";
        std::string failed = "cannot read '" + input_text + "'";
        try {
            const fs::path input = PathFromUtf8(input_text);
            // Nobody sees the echo without --echo: it is then neither kept nor formatted.
            TextPane echo(separators_.decimal);
            NullPane no_echo;
            ResultsPane& pane = options_.echo ? static_cast<ResultsPane&>(echo) : no_echo;
            const MomentData data = ReadDsf(input, pane);
            if (to_stdout) {
                failed = "cannot write '-'";
                const std::string text = FormatTextData(data, separators_);
                out_.write(text.data(), static_cast<std::streamsize>(text.size()));
                out_.flush();
            } else {
                failed = "cannot write the output of '" + input_text + "'";
                const fs::path output = options_.output.empty() ? DefaultOutputPath(input)
                                                                : PathFromUtf8(options_.output);
                failed = "cannot write '" + PathText(output) + "'";
                if (IsSameFile(input, output)) {
                    throw ConversionError(ErrorKind::Refused,
                                          "it is the input file itself, and writing it would "
                                          "destroy the input");
                }
                WriteTextData(output, data, separators_);
            }
            if (options_.echo) {
                if (echoed_any_) {
                    out_ << '\n';
                }
                out_.write(echo.Text().data(), static_cast<std::streamsize>(echo.Text().size()));
                out_.flush();
                echoed_any_ = true;
            }
            return true;
        } catch (const std::bad_alloc&) {
            return Fail(failed, "not enough memory");
        } catch (const std::exception& error) {
            return Fail(failed, error.what());
        } catch (...) {
            return Fail(failed, "an unknown error");
        }
    }

  private:
    bool Fail(const std::string& what, const std::string& reason) {
        err_ << kProgram << ": error: " << what << ": " << reason << '\n';
        return false;
    }

    const Options& options_;
    Separators separators_;
    std::ostream& out_;
    std::ostream& err_;
    bool echoed_any_ = false;
};

}  // namespace

int Run(const std::vector<std::string>& arguments, const Separators& locale, std::ostream& out,
        std::ostream& err) {
    Options options;
    CLI::App app{
        "Converts data system files (*.dsf) into text data files of covariances and means.",
        kProgram};
    // "/name" is a path, never an option, also on Windows.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", "dsf2vemo 1.00");
    app.add_option("INPUT", options.inputs, "data system files to convert")
        ->required()
        ->type_name("FILE.dsf");
    app.add_option("-o,--output", options.output,
                   "output file (one input only); \"-\" writes to standard output")
        ->type_name("PATH");
    app.add_option("--list-separator", options.list_separator,
                   "field separator (default: the user's locale)")
        ->type_name("TEXT");
    app.add_option("--decimal-separator", options.decimal_separator,
                   "decimal separator (default: the user's locale)")
        ->type_name("TEXT");
    app.add_flag("--echo", options.echo,
                 "also print what was read (the results-pane text) to standard output");

    try {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);
        if (!options.output.empty() && options.inputs.size() > 1) {
            throw CLI::ValidationError("--output takes one input only, but " +
                                       std::to_string(options.inputs.size()) + " were given");
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
                    throw CLI::ValidationError(std::string(option) + " \"" + **value +
                                               "\" holds a character that the ANSI code page (" +
                                               std::to_string(AnsiCodePage()) +
                                               ") of the text data file can't hold");
                }
                **value = std::move(*ansi);
            }
        }
#endif
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
    Converter converter(options, separators, out, err);
    bool all_converted = true;
    for (const std::string& input : options.inputs) {
        all_converted = converter.Convert(input) && all_converted;
    }
    return all_converted ? kExitSuccess : kExitConversionFailed;
}

}  // namespace dsf2vemo::cli
