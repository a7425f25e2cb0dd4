#include "cli_app.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>
#include <system_error>

#include "conversion_error.h"
#include "diagnosis.h"
#include "dsf_reader.h"
#include "path_divide.h"
#include "path_text.h"
#include "text_data_writer.h"
#include "windows1252.h"

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
    bool check = false;
    bool quiet = false;
};

// The output the main window proposes: the input's folder, its name without extension, ".txt".
fs::path DefaultOutputPath(const fs::path& input) {
    using Char = fs::path::value_type;
    BasicPathDivide<Char> divide(static_cast<Char>(fs::path::preferred_separator));
    fs::path absolute = fs::absolute(input);
    absolute.make_preferred();
    divide.Init(absolute.native());
    fs::path output(divide.Directory() + fs::path::preferred_separator + divide.NameOnly());
    output += ".txt";
    return output;
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) {
        return true;
    }
    return fs::absolute(a, ec).lexically_normal() == fs::absolute(b, ec).lexically_normal();
}

class Converter {
  public:
    Converter(const Options& options, Separators separators, std::ostream& out, std::ostream& err)
        : options_(options), separators_(std::move(separators)), out_(out), err_(err) {}

    // Converts one input; reports a failure on the error stream and returns false.
    bool Convert(const std::string& input_text) {
        const fs::path input = PathFromUtf8(input_text);
        TextPane pane(separators_.decimal);
        DsfFile file;
        try {
            file = ReadDsfFile(input, pane);
        } catch (const ConversionError& error) {
            return Fail("cannot read '" + input_text + "'", error.what());
        }
        const MomentData& data = file.Moments;
        const bool to_stdout = options_.output == "-";
        const fs::path output =
            options_.output.empty() ? DefaultOutputPath(input) : PathFromUtf8(options_.output);
        try {
            if (to_stdout) {
                const std::string text = FormatTextData(data, separators_);
                out_.write(text.data(), static_cast<std::streamsize>(text.size()));
                out_.flush();
            } else {
                if (SameFile(input, output)) {
                    throw ConversionError(ErrorKind::Refused,
                                          "it is the input file itself, and writing it would "
                                          "destroy the input");
                }
                WriteTextData(output, data, separators_);
            }
        } catch (const ConversionError& error) {
            return Fail("cannot write '" + (to_stdout ? std::string("-") : PathText(output)) + "'",
                        error.what());
        }
        if (options_.echo) {
            if (echoed_any_) {
                out_ << '\n';
            }
            out_.write(pane.Text().data(), static_cast<std::streamsize>(pane.Text().size()));
            out_.flush();
            echoed_any_ = true;
        }
        const std::optional<std::vector<Finding>> findings = Diagnosed(input_text, file);
        if (!findings) {
            return false;
        }
        if (!options_.quiet) {
            for (const Finding& finding : *findings) {
                err_ << kProgram << ": warning: " << input_text << ": "
                     << Utf8FromWindows1252(finding.Sentence) << '\n';
            }
        }
        return true;
    }

    // Reads and diagnoses one input, writing nothing; prints its findings, or that there are
    // none, on standard output. Returns true when it was read and has no findings.
    bool Check(const std::string& input_text) {
        TextPane pane(separators_.decimal);
        DsfFile file;
        try {
            file = ReadDsfFile(PathFromUtf8(input_text), pane);
        } catch (const ConversionError& error) {
            return Fail("cannot read '" + input_text + "'", error.what());
        }
        const std::optional<std::vector<Finding>> findings = Diagnosed(input_text, file);
        if (!findings) {
            return false;
        }
        if (!options_.quiet) {
            if (findings->empty()) {
                out_ << input_text << ": no findings\n";
            }
            for (const Finding& finding : *findings) {
                out_ << input_text << ": " << Utf8FromWindows1252(finding.Sentence) << '\n';
            }
            out_.flush();
        }
        return findings->empty();
    }

  private:
    // The findings about what was read; nothing after reporting why the diagnosis failed.
    std::optional<std::vector<Finding>> Diagnosed(const std::string& input_text,
                                                  const DsfFile& file) {
        try {
            return Diagnose(file, {separators_.decimal, options_.check});
        } catch (const ConversionError& error) {
            Fail("cannot check '" + input_text + "'", error.what());
            return std::nullopt;
        }
    }

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
    app.add_flag("--check", options.check, "only read and diagnose the inputs; write nothing");
    app.add_flag("--quiet", options.quiet, "no warnings about the data read");

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
        if (options.check && (!options.output.empty() || options.echo)) {
            throw CLI::ValidationError(
                "--check writes and echoes nothing; it can't be combined with " +
                std::string(options.echo ? "--echo" : "-o"));
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
    Converter converter(options, separators, out, err);
    bool all_converted = true;
    for (const std::string& input : options.inputs) {
        const bool done = options.check ? converter.Check(input) : converter.Convert(input);
        all_converted = done && all_converted;
    }
    return all_converted ? kExitSuccess : kExitConversionFailed;
}

}  // namespace dsf2vemo::cli
