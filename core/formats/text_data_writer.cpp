#include "text_data_writer.h"

#include <charconv>
#include <iterator>

#include "conversion_error.h"
#include "message_text.h"
#include "moment_checks.h"
#include "number_format.h"

namespace dsf2vemo {

namespace {

// What the numbers ("-1.5E+15", "NaN", "Inf") and the fixed words ("rowtype_", "varname_", "n",
// "cov", "mean") are made of; no separator may hold one, or a reader could not tell them apart.
constexpr std::string_view kNumberAndWordCharacters =
    "0123456789+-_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

bool HasLineEnd(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

void CheckSeparators(const Separators& separators) {
    if (separators.list.empty()) {
        Refuse("the list separator is empty, so the fields would run together");
    }
    if (separators.decimal.empty()) {
        Refuse("the decimal separator is empty");
    }
    if (HasLineEnd(separators.list) || HasLineEnd(separators.decimal)) {
        Refuse("a separator holds a line end, which would break the file's lines");
    }
    for (const std::string* separator : {&separators.list, &separators.decimal}) {
        const std::size_t at = separator->find_first_of(kNumberAndWordCharacters);
        if (at != std::string::npos) {
            Refuse("the separator " + Quoted(MessageTextFromSeparator(*separator)) + " holds " +
                   Quoted(separator->substr(at, 1)) +
                   ", which numbers or the fixed words of the file contain, so they would read "
                   "back wrongly");
        }
    }
    if (separators.list.find_first_of(separators.decimal) != std::string::npos) {
        Refuse("the list separator " + Quoted(MessageTextFromSeparator(separators.list)) +
               " and the decimal separator " +
               Quoted(MessageTextFromSeparator(separators.decimal)) +
               " share a character, so every number would split into extra columns");
    }
}

void CheckNames(const MomentData& data, const Separators& separators) {
    const auto name_text = [&](std::size_t i) {
        return "the name of variable " + std::to_string(i + 1) + ", " +
               Quoted(MessageTextFromFile(data.VariableNames[i])) + ", ";
    };
    const std::string list_text = Quoted(MessageTextFromSeparator(separators.list));
    for (std::size_t i = 0; i < data.VariableNames.size(); ++i) {
        const std::string& name = data.VariableNames[i];
        if (name.find(separators.list) != std::string::npos) {
            Refuse(name_text(i) + "contains the list separator " + list_text +
                   ", so its columns would shift");
        }
        // A separator that can overlap itself ("||") is found one place early after a name
        // ending in part of it ("A|"), and the columns shift just the same.
        if ((name + separators.list).find(separators.list) != name.size()) {
            Refuse(name_text(i) + "ends in part of the list separator " + list_text +
                   ", so its columns would shift");
        }
        if (HasLineEnd(name)) {
            Refuse("the name of variable " + std::to_string(i + 1) +
                   " contains a line end, which would break the file's lines");
        }
    }
}

void AppendInteger(std::string& out, std::int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
    out.append(buffer, result.ptr);
}

}  // namespace

TextDataWriter::TextDataWriter(const MomentData& data, const Separators& separators)
    : data_(data), separators_(separators) {
    CheckSeparators(separators);
    CheckMomentArrays(data);
    CheckNames(data, separators);
}

std::size_t TextDataWriter::SizeEstimate() const {
    const std::size_t p = data_.VariableNames.size();
    std::size_t names = 0;
    for (const std::string& name : data_.VariableNames) {
        names += name.size();
    }
    const std::size_t separator = separators_.list.size();
    return 64 + 2 * names + p * (separator + 12) +
           (data_.Covariances.size() + data_.Means.size()) * (separator + 21) + 3 * p;
}

void TextDataWriter::AppendTo(BlockText& block) const {
    std::string& out = block.Text();
    const std::string& s = separators_.list;
    const std::string& decimal = separators_.decimal;
    auto end_line = [&] {
        out += "\r\n";
        block.LineDone();
    };

    out += "rowtype_";
    out += s;
    out += "varname_";
    for (const std::string& name : data_.VariableNames) {
        out += s;
        out += name;
    }
    end_line();

    out += "n";
    out += s;
    for (std::size_t i = 0; i < data_.VariableNames.size(); ++i) {
        out += s;
        AppendInteger(out, data_.CaseCount);
    }
    end_line();

    for (std::size_t i = 0; i < data_.VariableNames.size(); ++i) {
        out += "cov";
        out += s;
        out += data_.VariableNames[i];
        AppendGeneralNumbers(out, CovarianceRow(data_.Covariances, i), s, decimal);
        end_line();
    }

    out += "mean";
    out += s;
    AppendGeneralNumbers(out, data_.Means, s, decimal);
    end_line();
}

std::string FormatTextData(const MomentData& data, const Separators& separators) {
    const TextDataWriter writer(data, separators);
    BlockText out;
    out.Text().reserve(writer.SizeEstimate());
    writer.AppendTo(out);
    return out.Take();
}

}  // namespace dsf2vemo
