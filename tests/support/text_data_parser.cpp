#include "text_data_parser.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace dsf2vemo::testing {

namespace {

std::vector<std::string_view> SplitFields(std::string_view line, std::string_view list) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t at = line.find(list); at != std::string_view::npos;
         at = line.find(list, start)) {
        fields.push_back(line.substr(start, at - start));
        start = at + list.size();
    }
    fields.push_back(line.substr(start));
    return fields;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t CountDigits(std::string_view text, std::size_t from) {
    std::size_t n = 0;
    while (from + n < text.size() && IsDigit(text[from + n])) {
        ++n;
    }
    return n;
}

// The pieces of a finite number field, or nothing when the field isn't in the general form.
struct DecimalParts {
    bool negative = false;
    std::string digits;  // integer digits then fraction digits
    std::size_t integer_digits = 0;
    int exponent = 0;  // the E part
};

std::optional<DecimalParts> SplitNumber(std::string_view field, std::string_view decimal) {
    DecimalParts parts;
    std::size_t at = 0;
    if (at < field.size() && field[at] == '-') {
        parts.negative = true;
        ++at;
    }
    const std::size_t integer = CountDigits(field, at);
    if (integer == 0) {
        return std::nullopt;
    }
    parts.digits.assign(field.substr(at, integer));
    parts.integer_digits = integer;
    at += integer;
    if (field.substr(at).starts_with(decimal)) {
        at += decimal.size();
        const std::size_t fraction = CountDigits(field, at);
        if (fraction == 0) {
            return std::nullopt;
        }
        parts.digits.append(field.substr(at, fraction));
        at += fraction;
    }
    if (at < field.size() && field[at] == 'E') {
        ++at;
        if (at >= field.size() || (field[at] != '+' && field[at] != '-')) {
            return std::nullopt;
        }
        const bool negative_exponent = field[at] == '-';
        ++at;
        const std::size_t exponent = CountDigits(field, at);
        if (exponent == 0 || exponent > 4) {
            return std::nullopt;
        }
        std::from_chars(field.data() + at, field.data() + at + exponent, parts.exponent);
        if (negative_exponent) {
            parts.exponent = -parts.exponent;
        }
        at += exponent;
    }
    if (at != field.size()) {
        return std::nullopt;
    }
    return parts;
}

std::optional<std::string> NonFiniteName(std::string_view field) {
    if (field == "NaN") {
        return "nan";
    }
    if (field == "Inf") {
        return "inf";
    }
    if (field == "-Inf") {
        return "-inf";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FieldAsFifteenDigits(std::string_view field, std::string_view decimal) {
    if (auto name = NonFiniteName(field)) {
        return name;
    }
    const std::optional<DecimalParts> parts = SplitNumber(field, decimal);
    if (!parts) {
        return std::nullopt;
    }
    const std::string& digits = parts->digits;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        return FifteenDigits(0.0);
    }
    const std::size_t last = digits.find_last_not_of('0');
    const std::string significant = digits.substr(first, last - first + 1);
    if (significant.size() > 15) {
        return std::nullopt;
    }
    const int exponent =
        static_cast<int>(parts->integer_digits) - static_cast<int>(first) - 1 + parts->exponent;
    std::string out = parts->negative ? "-" : "";
    out += significant[0];
    out += '.';
    out += significant.substr(1);
    out.append(15 - significant.size(), '0');
    out += exponent < 0 ? "e-" : "e+";
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) {
        out += '0';
    }
    out += std::to_string(magnitude);
    return out;
}

std::string FifteenDigits(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    if (value == 0) {
        value = 0.0;
    }
    char buffer[48];
    const int n = std::snprintf(buffer, sizeof buffer, "%.14e", value);
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::optional<double> FieldAsDouble(std::string_view field, std::string_view decimal) {
    if (const auto name = NonFiniteName(field)) {
        return *name == "nan" ? std::nan("") : (*name == "inf" ? HUGE_VAL : -HUGE_VAL);
    }
    const std::optional<DecimalParts> parts = SplitNumber(field, decimal);
    if (!parts) {
        return std::nullopt;
    }
    std::string text = parts->negative ? "-" : "";
    text += parts->digits.substr(0, parts->integer_digits);
    text += '.';
    text += parts->digits.substr(parts->integer_digits);
    text += 'e';
    text += std::to_string(parts->exponent);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> FieldAsInt32(std::string_view field) {
    const std::size_t digits = CountDigits(field, field.starts_with('-') ? 1 : 0);
    if (digits == 0 || digits + (field.starts_with('-') ? 1 : 0) != field.size()) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    const auto result = std::from_chars(field.data(), field.data() + field.size(), value);
    if (result.ec != std::errc() || result.ptr != field.data() + field.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<ParsedTextData> ParseTextData(std::string_view text, std::string_view list,
                                            std::string& error) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            error = "the text does not end with CR LF";
            return std::nullopt;
        }
        const std::string_view line = text.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string_view::npos) {
            error = "line " + std::to_string(lines.size() + 1) + " holds a bare CR or LF";
            return std::nullopt;
        }
        lines.push_back(line);
        start = end + 2;
    }
    if (lines.size() < 3) {
        error = "the text has " + std::to_string(lines.size()) + " lines, fewer than 3";
        return std::nullopt;
    }
    const std::size_t p = lines.size() - 3;

    // Splits line `index` (0-based), checking its field count and its first two fields.
    auto fields_of = [&](std::size_t index, std::size_t count, std::string_view first,
                         std::optional<std::string_view> second)
        -> std::optional<std::vector<std::string_view>> {
        std::vector<std::string_view> fields = SplitFields(lines[index], list);
        const std::string where = "line " + std::to_string(index + 1);
        if (fields.size() != count) {
            error = where + " has " + std::to_string(fields.size()) + " fields, not " +
                    std::to_string(count);
            return std::nullopt;
        }
        if (fields[0] != first) {
            error = where + " starts with '" + std::string(fields[0]) + "', not '" +
                    std::string(first) + "'";
            return std::nullopt;
        }
        if (second && fields[1] != *second) {
            error = where + " has '" + std::string(fields[1]) + "' as its second field, not '" +
                    std::string(*second) + "'";
            return std::nullopt;
        }
        return fields;
    };
    auto tail = [](const std::vector<std::string_view>& fields) {
        return std::vector<std::string>(fields.begin() + 2, fields.end());
    };

    ParsedTextData parsed;
    const auto header = fields_of(0, p + 2, "rowtype_", "varname_");
    if (!header) {
        return std::nullopt;
    }
    parsed.names = tail(*header);
    const auto cases = fields_of(1, p + 2, "n", "");
    if (!cases) {
        return std::nullopt;
    }
    parsed.cases = tail(*cases);
    for (std::size_t i = 0; i < p; ++i) {
        const auto row = fields_of(2 + i, i + 3, "cov", parsed.names[i]);
        if (!row) {
            return std::nullopt;
        }
        parsed.covariances.push_back(tail(*row));
    }
    const auto means = fields_of(p + 2, p + 2, "mean", "");
    if (!means) {
        return std::nullopt;
    }
    parsed.means = tail(*means);
    return parsed;
}

}  // namespace dsf2vemo::testing
