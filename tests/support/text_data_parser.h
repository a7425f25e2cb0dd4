#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dsf2vemo::testing {

// A text data file read back field by field. Numbers stay as written, so a check can compare
// them with what they stand for digit by digit.
struct ParsedTextData {
    std::vector<std::string> names;
    std::vector<std::string> cases;                     // the "n" line, one field per variable
    std::vector<std::vector<std::string>> covariances;  // row i holds i + 1 fields
    std::vector<std::string> means;
};

// Reads a text data file with a parser of its own: lines ended by CR LF (no other CR or LF
// anywhere), fields split at the leftmost occurrence of `list`, the fixed words in place, p + 3
// lines and the field count of each line right. Returns the fields, or a description of the
// first thing that is wrong in `error`.
std::optional<ParsedTextData> ParseTextData(std::string_view text, std::string_view list,
                                            std::string& error);

// A number field in the general form: "NaN", "Inf", "-Inf" or [-]digits[<decimal>digits]
// [E(+|-)digits], at most 15 significant digits, rendered as printf's "%.14e" would render the
// value it stands for ("-1.50000000000000e-05"). Empty when the field has another form.
std::optional<std::string> FieldAsFifteenDigits(std::string_view field, std::string_view decimal);

// `value` as printf's "%.14e" renders it, with negative zero as zero and "nan", "inf", "-inf"
// for the non-finite values.
std::string FifteenDigits(double value);

// The field parsed as a double (the decimal separator read as a point), if it is a number in
// the general form and within the range of a double.
std::optional<double> FieldAsDouble(std::string_view field, std::string_view decimal);

// A case count field: an optional minus sign and digits, within 32 bits.
std::optional<std::int32_t> FieldAsInt32(std::string_view field);

}  // namespace dsf2vemo::testing
