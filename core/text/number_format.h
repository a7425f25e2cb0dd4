#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace dsf2vemo {

// Appends `value` rounded to three decimals with no leading zero (".300", "-.250", "1234.500"),
// the way the results pane shows numbers. A value that rounds to zero carries no minus sign.
// NaN and infinities are written as "NaN", "Inf" and "-Inf".
void AppendThreeDecimals(std::string& out, double value, std::string_view decimal_separator);
// The same after the character `before`, in one append where it can: the pane's space between
// numbers.
void AppendThreeDecimals(std::string& out, char before, double value,
                         std::string_view decimal_separator);
// The same into a buffer with room for ThreeDecimalsRoom(decimal_separator) characters from
// `at`, for a pane that gathers many numbers before it appends them; returns the end.
std::size_t ThreeDecimalsRoom(std::string_view decimal_separator);
char* WriteThreeDecimals(char* at, char before, double value, std::string_view decimal_separator);

// Appends `value` in the general number form of the text data file: at most 15 significant
// digits, no trailing zeros, a leading zero below 1, and exponent form ("1E-05",
// "1.23456789012346E+15") for decimal exponents below -4 or from 15 up. Negative zero is "0".
void AppendGeneralNumber(std::string& out, double value, std::string_view decimal_separator);

// Appends `separator` and a number in the general form for each of `values`: a row of the text
// data file, gathered in a buffer on the stack and appended a few kilobytes at a time, where the
// string's own functions cost a call each (WebAssembly). Separators longer than about
// kNumbersRoom characters in all take one append for each.
constexpr std::size_t kNumbersRoom = 4096;
void AppendGeneralNumbers(std::string& out, std::span<const double> values,
                          std::string_view separator, std::string_view decimal_separator);

// How another program wants the shortest form spelled: the letter before the exponent, and
// negative zero as "-0.0" for readers that take "-0" for the integer 0 and lose the sign.
struct ShortestSpelling {
    char exponent = 'e';
    bool negative_zero_with_point = false;
};

// Appends finite `value` in the shortest form that reads back as the same double, what
// std::to_chars writes without a precision: "0.30000000000000004", "1e+20", "-0", "10". The decimal
// point is always ".": this form is for programs, not for the user's locale.
void AppendShortestNumber(std::string& out, double value, ShortestSpelling spelling = {});

// Appends `value` with at most `digits` significant digits, the shorter of the fixed and the
// exponent form as printf's %g chooses ("1235", "1.235e+04", "0.0001234"), trailing zeros
// dropped: numbers in sentences. NaN and infinities as AppendThreeDecimals writes them.
void AppendSignificantDigits(std::string& out, double value, int digits,
                             std::string_view decimal_separator);

std::string FormatThreeDecimals(double value, std::string_view decimal_separator);
std::string FormatGeneralNumber(double value, std::string_view decimal_separator);
std::string FormatSignificantDigits(double value, int digits, std::string_view decimal_separator);

}  // namespace dsf2vemo
