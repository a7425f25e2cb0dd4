#include "text_data_check.h"

#include "text_data_parser.h"

namespace dsf2vemo::testing {

namespace {

// Compares one number field with the value it was written from; `where` names the field, only
// once something differs (the fuzzers compare thousands of fields a second).
template <class Where>
std::string CompareNumber(std::string_view field, double value, std::string_view decimal,
                          Where where) {
    const std::string expected = FifteenDigits(value);
    const std::optional<std::string> written = FieldAsFifteenDigits(field, decimal);
    if (!written) {
        return where() + ": '" + std::string(field) + "' is not a number in the general form";
    }
    if (*written != expected) {
        return where() + ": '" + std::string(field) + "' stands for " + *written + ", but " +
               expected + " was stored";
    }
    const std::optional<double> parsed = FieldAsDouble(field, decimal);
    if (!parsed) {
        // The largest doubles round up, at 15 digits, to a decimal past the double range.
        if (expected == "1.79769313486232e+308" || expected == "-1.79769313486232e+308") {
            return {};
        }
        return where() + ": '" + std::string(field) + "' does not parse as a double";
    }
    if (FifteenDigits(*parsed) != expected) {
        return where() + ": '" + std::string(field) + "' parses as " + FifteenDigits(*parsed) +
               ", but " + expected + " was stored";
    }
    return {};
}

}  // namespace

std::string CompareTextData(const MomentData& expected, std::string_view text,
                            const Separators& separators) {
    std::string error;
    const std::optional<ParsedTextData> parsed = ParseTextData(text, separators.list, error);
    if (!parsed) {
        return error;
    }
    const auto p = static_cast<std::size_t>(expected.VariableCount);
    if (parsed->names != expected.VariableNames) {
        return "the names read back differ from the stored ones";
    }
    if (parsed->names.size() != p) {
        return "the text has " + std::to_string(parsed->names.size()) + " variables, not " +
               std::to_string(p);
    }
    for (std::size_t i = 0; i < p; ++i) {
        const std::optional<std::int32_t> cases = FieldAsInt32(parsed->cases[i]);
        if (cases != expected.CaseCount) {
            return "case count " + std::to_string(i + 1) + " is '" + parsed->cases[i] + "', not " +
                   std::to_string(expected.CaseCount);
        }
    }
    std::size_t k = 0;
    for (std::size_t i = 0; i < p; ++i) {
        for (std::size_t j = 0; j <= i; ++j) {
            error = CompareNumber(parsed->covariances[i][j], expected.Covariances.at(k++),
                                  separators.decimal, [&] {
                                      return "covariance (" + std::to_string(i + 1) + ", " +
                                             std::to_string(j + 1) + ")";
                                  });
            if (!error.empty()) {
                return error;
            }
        }
    }
    for (std::size_t i = 0; i < p; ++i) {
        error = CompareNumber(parsed->means[i], expected.Means.at(i), separators.decimal,
                              [&] { return "mean " + std::to_string(i + 1); });
        if (!error.empty()) {
            return error;
        }
    }
    return {};
}

}  // namespace dsf2vemo::testing
