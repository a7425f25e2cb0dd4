#include "build_number.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace dsf2vemo::about {

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n';
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Copies the run of digits at `at` into `out`; returns how many there were.
std::size_t TakeDigits(std::wstring_view text, std::size_t& at, std::string& out) {
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at])) {
        out.push_back(static_cast<char>(text[at]));
        ++at;
    }
    return at - start;
}

// A half goes to the even neighbour.
double RoundHalfToEven(double value) {
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    return whole;
}

}  // namespace

std::optional<std::int16_t> LeadingNumber(std::wstring_view name) {
    std::size_t at = 0;
    while (at < name.size() && IsBlank(name[at])) {
        ++at;
    }
    bool negative = false;
    if (at < name.size() && (name[at] == L'+' || name[at] == L'-')) {
        negative = name[at] == L'-';
        ++at;
    }
    std::string number;
    std::size_t digits = TakeDigits(name, at, number);
    if (at < name.size() && name[at] == L'.') {
        number.push_back('.');
        ++at;
        digits += TakeDigits(name, at, number);
    }
    if (digits == 0) {
        return 0;  // no number at all: a sign or a point alone reads as 0
    }
    // An exponent counts only with at least one digit after the letter and its sign.
    bool tiny_exponent = false;
    if (at < name.size() && (name[at] == L'e' || name[at] == L'E')) {
        std::size_t exponent_at = at + 1;
        std::string exponent = "e";
        if (exponent_at < name.size() && (name[exponent_at] == L'+' || name[exponent_at] == L'-')) {
            exponent.push_back(static_cast<char>(name[exponent_at]));
            ++exponent_at;
        }
        if (TakeDigits(name, exponent_at, exponent) > 0) {
            number += exponent;
            tiny_exponent = exponent[1] == '-';
        }
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (!tiny_exponent) {
            return std::nullopt;  // beyond any double, let alone 16 bits
        }
        value = 0;
    } else if (error != std::errc{} || end != number.data() + number.size()) {
        return 0;  // cannot happen for the text built above; read as no number
    }
    const double rounded = RoundHalfToEven(negative ? -value : value);
    if (rounded < -32768.0 || rounded > 32767.0) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

std::int16_t MostRecentBuildNumber(const std::filesystem::path& directory) {
    std::error_code error;
    std::filesystem::directory_iterator entries(directory, error);
    if (error) {
        return -1;
    }
    std::int16_t best = -1;
    for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        if (error) {
            return -1;  // a listing cut short cannot say which build is the most recent
        }
        if (!entries->is_directory(error) || error) {
            continue;  // files are not builds
        }
        std::wstring name;
        try {
            name = entries->path().filename().wstring();
        } catch (const std::exception&) {
            continue;  // a name this system cannot spell as text holds no build number
        }
        const std::optional<std::int16_t> number = LeadingNumber(name);
        if (number && *number > best) {
            best = *number;
        }
    }
    if (error) {
        return -1;
    }
    return best;
}

bool IsDevelopmentExecutable(const std::filesystem::path& executable) {
    constexpr std::wstring_view kDevelopmentName = L"divazu~1";
    const std::wstring stem = executable.stem().wstring();
    if (stem.size() != kDevelopmentName.size()) {
        return false;
    }
    for (std::size_t i = 0; i < stem.size(); ++i) {
        if (AsciiLower(stem[i]) != kDevelopmentName[i]) {
            return false;
        }
    }
    return true;
}

std::wstring BuildNumberMessage(std::int32_t current, std::int32_t proposed) {
    return L"The current revision number is '" + std::to_wstring(current) +
           L"'. Please change it to '" + std::to_wstring(proposed) + L"'.";
}

}  // namespace dsf2vemo::about
