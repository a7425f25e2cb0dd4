#include "number_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace dsf2vemo {

namespace {

// Returns true when it wrote a name for a non-finite value.
bool AppendNonFinite(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
        return true;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-Inf" : "Inf";
        return true;
    }
    return false;
}

// A positive value rounded to 15 significant digits: d1.d2d3… × 10^exponent, trailing zeros
// removed.
struct Significand {
    std::array<char, 16> digits{};
    int count = 0;
    int exponent = 0;
};

Significand RoundTo15Digits(double magnitude) {
    // "d.dddddddddddddde+XX": std::to_chars rounds the exact binary value correctly.
    std::array<char, 32> buffer{};
    const char* end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                    std::chars_format::scientific, 14)
                          .ptr;
    Significand s;
    s.digits[0] = buffer[0];
    std::memcpy(s.digits.data() + 1, buffer.data() + 2, 14);
    s.count = 15;
    while (s.count > 1 && s.digits[static_cast<std::size_t>(s.count - 1)] == '0') {
        --s.count;
    }
    // Two or three exponent digits after "e+" or "e-".
    int exponent = 0;
    for (const char* p = buffer.data() + 18; p != end; ++p) {
        exponent = 10 * exponent + (*p - '0');
    }
    s.exponent = buffer[17] == '-' ? -exponent : exponent;
    return s;
}

// Digits `from` to `to` of the significand, zeros past its last digit.
void AppendDigits(std::string& out, const Significand& s, int from, int to) {
    const int present = std::min(to, s.count);
    if (present > from) {
        out.append(s.digits.data() + from, static_cast<std::size_t>(present - from));
    }
    if (to > std::max(present, from)) {
        out.append(static_cast<std::size_t>(to - std::max(present, from)), '0');
    }
}

}  // namespace

void AppendThreeDecimals(std::string& out, double value, std::string_view decimal_separator) {
    if (AppendNonFinite(out, value)) {
        return;
    }
    // Large enough for the 309 integer digits of DBL_MAX, the point and three decimals.
    std::array<char, 330> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                      std::fabs(value), std::chars_format::fixed, 3);
    const std::string_view text(buffer.data(),
                                static_cast<std::size_t>(result.ptr - buffer.data()));
    if (value < 0 && text != "0.000") {
        out += '-';
    }
    const std::size_t point = text.size() - 4;
    if (!(point == 1 && text[0] == '0')) {
        out.append(text.substr(0, point));
    }
    out.append(decimal_separator);
    out.append(text.substr(point + 1));
}

void AppendGeneralNumber(std::string& out, double value, std::string_view decimal_separator) {
    if (AppendNonFinite(out, value)) {
        return;
    }
    if (value == 0) {
        out += '0';
        return;
    }
    if (value < 0) {
        out += '-';
    }
    const Significand s = RoundTo15Digits(std::fabs(value));
    if (s.exponent < -4 || s.exponent >= 15) {
        out += s.digits[0];
        if (s.count > 1) {
            out.append(decimal_separator);
            AppendDigits(out, s, 1, s.count);
        }
        out += 'E';
        out += s.exponent < 0 ? '-' : '+';
        const int exponent = std::abs(s.exponent);
        if (exponent < 10) {
            out += '0';
        }
        std::array<char, 8> text{};
        const auto end = std::to_chars(text.data(), text.data() + text.size(), exponent);
        out.append(text.data(), end.ptr);
    } else if (s.exponent < 0) {
        out += '0';
        out.append(decimal_separator);
        out.append(static_cast<std::size_t>(-s.exponent - 1), '0');
        AppendDigits(out, s, 0, s.count);
    } else {
        AppendDigits(out, s, 0, s.exponent + 1);
        if (s.count > s.exponent + 1) {
            out.append(decimal_separator);
            AppendDigits(out, s, s.exponent + 1, s.count);
        }
    }
}

void AppendShortestNumber(std::string& out, double value, ShortestSpelling spelling) {
    if (spelling.negative_zero_with_point && value == 0 && std::signbit(value)) {
        out += "-0.0";
        return;
    }
    char buffer[32];
    char* const end = std::to_chars(std::begin(buffer), std::end(buffer), value).ptr;
    if (spelling.exponent != 'e') {
        std::replace(std::begin(buffer), end, 'e', spelling.exponent);
    }
    out.append(buffer, end);
}

void AppendSignificantDigits(std::string& out, double value, int digits,
                             std::string_view decimal_separator) {
    if (AppendNonFinite(out, value)) {
        return;
    }
    std::array<char, 32> buffer{};
    const char* end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, digits)
                          .ptr;
    for (const char* c = buffer.data(); c != end; ++c) {
        if (*c == '.') {
            out.append(decimal_separator);
        } else {
            out += *c;
        }
    }
}

std::string FormatThreeDecimals(double value, std::string_view decimal_separator) {
    std::string out;
    AppendThreeDecimals(out, value, decimal_separator);
    return out;
}

std::string FormatGeneralNumber(double value, std::string_view decimal_separator) {
    std::string out;
    AppendGeneralNumber(out, value, decimal_separator);
    return out;
}

std::string FormatSignificantDigits(double value, int digits, std::string_view decimal_separator) {
    std::string out;
    AppendSignificantDigits(out, value, digits, decimal_separator);
    return out;
}

}  // namespace dsf2vemo
