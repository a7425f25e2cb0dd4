// read_dsf(): the moments of one data system file as R objects.
#include <cpp11.hpp>
#include <cpp11/declarations.hpp>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>

#include "diagnosis.h"
#include "failure_description.h"
#include "file_conversion.h"
#include "message_text.h"
#include "moment_table.h"
#include "r_text.h"
#include "step_failure.h"

namespace dsf2vemo::r {

namespace {

using namespace cpp11::literals;

struct ReadMoments {
    MomentTable table;
    std::vector<std::string> findings;
};

// The file read, diagnosed and turned into the table; the file's own arrays are gone again
// before R's copies are made, so that a large file is held twice at most.
ReadMoments Read(const std::filesystem::path& path, const std::string& input_text,
                 const std::string& decimal_separator) {
    FileConversion conversion(path, input_text);
    NullPane no_echo;
    conversion.Read(no_echo);
    ReadMoments read;
    for (const Finding& finding : conversion.Check({decimal_separator, false})) {
        read.findings.push_back(MessageTextFromFile(finding.Sentence));
    }
    try {
        read.table = TableOfMoments(conversion.File());
    } catch (...) {
        throw StepFailure("cannot read '" + input_text + "'",
                          FailureDescription(std::current_exception()));
    }
    return read;
}

// R's integers hold every 32-bit value but the smallest, which is R's NA: that one is a double.
SEXP CasesForR(std::int32_t cases) {
    if (cases == std::numeric_limits<std::int32_t>::min()) {
        return cpp11::as_sexp(static_cast<double>(cases));
    }
    return cpp11::as_sexp(static_cast<int>(cases));
}

cpp11::writable::doubles Doubles(const std::vector<double>& values) {
    cpp11::writable::doubles doubles(static_cast<R_xlen_t>(values.size()));
    if (!values.empty()) {
        std::memcpy(REAL(doubles), values.data(), values.size() * sizeof(double));
    }
    return doubles;
}

}  // namespace

}  // namespace dsf2vemo::r

extern "C" SEXP dsf2vemo_read(SEXP path, SEXP shown, SEXP decimal_separator) {
    BEGIN_CPP11
    using namespace dsf2vemo;
    using namespace dsf2vemo::r;
    ReadMoments read;
    try {
        read = Read(PathFromR(path), Utf8FromR(shown), Utf8FromR(decimal_separator));
    } catch (const StepFailure& failure) {
        return FailureForR(failure);
    }
    const MomentTable& table = read.table;
    const int p = static_cast<int>(table.names.size());
    const cpp11::writable::strings names = RTexts(table.names);

    cpp11::writable::doubles covariances = Doubles(table.covariances);
    covariances.attr("dim") = cpp11::writable::integers({p, p});
    covariances.attr("dimnames") = cpp11::writable::list({names, names});
    cpp11::writable::doubles means = Doubles(table.means);
    means.attr("names") = names;

    return cpp11::writable::list({
        "header"_nm = RTexts({table.header}),
        "cases"_nm = CasesForR(table.cases),
        "names"_nm = names,
        "cov"_nm = covariances,
        "mean"_nm = means,
        "findings"_nm = RTexts(read.findings),
    });
    END_CPP11
}
