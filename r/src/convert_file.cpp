// convert_dsf(): one data system file converted to a file, as the command line converts it.
#include <cpp11.hpp>
#include <cpp11/declarations.hpp>
#include <optional>
#include <stdexcept>

#include "diagnosis.h"
#include "file_conversion.h"
#include "message_text.h"
#include "output_format.h"
#include "r_text.h"
#include "separators.h"
#include "step_failure.h"

namespace dsf2vemo::r {

namespace {

// A separator the user gave, in the text of the file: as R hands it to the system on POSIX, where
// the locale's own separators are such bytes too; on Windows in the ANSI code page, which the
// text data file is written in.
std::string SeparatorFromR(SEXP text, const char* argument) {
#ifdef _WIN32
    const std::string utf8 = Utf8FromR(text);
    std::optional<std::string> ansi = AnsiFromUtf8(utf8);
    if (!ansi) {
        throw std::invalid_argument(std::string(argument) + " \"" + utf8 +
                                    "\" holds a character that the ANSI code page (" +
                                    std::to_string(AnsiCodePage()) +
                                    ") of the text data file can't hold");
    }
    return *std::move(ansi);
#else
    static_cast<void>(argument);
    return cpp11::safe[Rf_translateChar](STRING_ELT(text, 0));
#endif
}

// The locale's separators, each replaced where the user gave one.
Separators SeparatorsFromR(SEXP list_separator, SEXP decimal_separator) {
    Separators separators = GetLocaleSeparators();
    if (!IsNull(list_separator)) {
        separators.list = SeparatorFromR(list_separator, "list_separator");
    }
    if (!IsNull(decimal_separator)) {
        separators.decimal = SeparatorFromR(decimal_separator, "decimal_separator");
    }
    return separators;
}

}  // namespace

}  // namespace dsf2vemo::r

extern "C" SEXP dsf2vemo_convert(SEXP input, SEXP shown, SEXP output, SEXP format,
                                 SEXP list_separator, SEXP decimal_separator) {
    BEGIN_CPP11
    using namespace dsf2vemo;
    using namespace dsf2vemo::r;
    using namespace cpp11::literals;
    const Separators separators = SeparatorsFromR(list_separator, decimal_separator);
    std::optional<std::filesystem::path> output_path;
    if (!IsNull(output)) {
        output_path = PathFromR(output);
    }
    std::optional<OutputFormat> output_format;
    if (!IsNull(format)) {
        output_format = FormatNamed(Utf8FromR(format));
        if (!output_format) {
            throw std::invalid_argument("unknown format \"" + Utf8FromR(format) + "\"");
        }
    }

    FileConversion conversion(PathFromR(input), Utf8FromR(shown));
    WrittenFiles written;
    std::vector<std::string> warnings;
    try {
        NullPane no_echo;
        conversion.Read(no_echo);
        written = conversion.Write(output_path, output_format, separators);
        // What the command line warns about after a conversion, in its order.
        for (const Finding& finding : conversion.Check({separators.decimal, false})) {
            warnings.push_back(MessageTextFromFile(finding.Sentence));
        }
    } catch (const StepFailure& failure) {
        return FailureForR(failure);
    }
    for (const std::string& note : written.warnings) {
        warnings.push_back(MessageTextFromFile(note));
    }

    cpp11::writable::strings paths(static_cast<R_xlen_t>(written.paths.size()));
    for (std::size_t i = 0; i < written.paths.size(); ++i) {
        paths[static_cast<R_xlen_t>(i)] = RPath(written.paths[i]);
    }
    return cpp11::writable::list({"paths"_nm = paths, "warnings"_nm = RTexts(warnings)});
    END_CPP11
}
