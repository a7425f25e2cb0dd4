#pragma once

#include <string>
#include <string_view>

namespace dsf2vemo {

// The field separator and the decimal separator the text data file and the echo use.
struct Separators {
    std::string list = ",";
    std::string decimal = ".";
};

// Where the locale names no list separator: ";" beside a decimal comma, "," otherwise.
std::string DefaultListSeparator(std::string_view decimal_separator);

// The user's decimal separator: from the locale settings on Windows, from LC_NUMERIC elsewhere;
// "." when the query fails.
std::string GetDecimalSeparator();

// The user's list separator: from the locale settings on Windows; elsewhere, and when the query
// fails, DefaultListSeparator of the decimal separator.
std::string GetListSeparator();

inline Separators GetLocaleSeparators() {
    return {GetListSeparator(), GetDecimalSeparator()};
}

#ifdef _WIN32
// An item of the user's default locale (GetLocaleInfoA item number), in the ANSI code page;
// empty when the query fails.
std::string GetLocaleString(int item);
#endif

}  // namespace dsf2vemo
