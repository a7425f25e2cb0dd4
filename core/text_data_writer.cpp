#include "text_data_writer.h"

#include <charconv>
#include <system_error>

#include "conversion_error.h"
#include "message_text.h"
#include "moment_checks.h"
#include "number_format.h"
#include "path_text.h"
#include "replacement_file.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Refuse(const std::string& description) {
    throw ConversionError(ErrorKind::Refused, description);
}

[[noreturn]] void CannotWrite(const std::string& description) {
    throw ConversionError(ErrorKind::CannotWrite, description);
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

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

void CheckMomentData(const MomentData& data, const Separators& separators) {
    CheckMomentArrays(data);
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

std::size_t SizeEstimate(const MomentData& data, const Separators& separators) {
    const std::size_t p = data.VariableNames.size();
    std::size_t names = 0;
    for (const std::string& name : data.VariableNames) {
        names += name.size();
    }
    const std::size_t separator = separators.list.size();
    return 64 + 2 * names + p * (separator + 12) +
           (data.Covariances.size() + data.Means.size()) * (separator + 21) + 3 * p;
}

// Appends the file's text to `out` line by line. After each line, `line_done(out)` may pass the
// text on and clear `out`, so a large file need not be held whole.
template <class LineDone>
void AppendTextData(const MomentData& data, const Separators& separators, std::string& out,
                    LineDone line_done) {
    const std::string& s = separators.list;
    const std::string& decimal = separators.decimal;
    auto end_line = [&] {
        out += "\r\n";
        line_done(out);
    };

    out += "rowtype_";
    out += s;
    out += "varname_";
    for (const std::string& name : data.VariableNames) {
        out += s;
        out += name;
    }
    end_line();

    out += "n";
    out += s;
    for (std::size_t i = 0; i < data.VariableNames.size(); ++i) {
        out += s;
        AppendInteger(out, data.CaseCount);
    }
    end_line();

    std::size_t k = 0;
    for (std::size_t i = 0; i < data.VariableNames.size(); ++i) {
        out += "cov";
        out += s;
        out += data.VariableNames[i];
        for (std::size_t j = 0; j <= i; ++j) {
            out += s;
            AppendGeneralNumber(out, data.Covariances[k++], decimal);
        }
        end_line();
    }

    out += "mean";
    out += s;
    for (const double mean : data.Means) {
        out += s;
        AppendGeneralNumber(out, mean, decimal);
    }
    end_line();
}

void CheckWritable(const MomentData& data, const Separators& separators) {
    CheckSeparators(separators);
    CheckMomentData(data, separators);
}

}  // namespace

std::string FormatTextData(const MomentData& data, const Separators& separators) {
    CheckWritable(data, separators);
    std::string out;
    out.reserve(SizeEstimate(data, separators));
    AppendTextData(data, separators, out, [](std::string&) {});
    return out;
}

void CheckOutputTarget(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::directory) {
        CannotWrite("it is a folder, not a file");
    }
    if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        CannotWrite("the file is read-only");
    }
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec)) {
        CannotWrite("the folder " + Quoted(PathText(folder)) + " does not exist");
    }
}

void WriteTextData(const fs::path& path, const MomentData& data, const Separators& separators) {
    CheckWritable(data, separators);
    CheckOutputTarget(path);

    ReplacementFile file(path);
    // Written in blocks of about a megabyte: a large file is never held whole in memory.
    constexpr std::size_t kBlockSize = std::size_t{1} << 20;
    std::string block;
    block.reserve(2 * kBlockSize);
    AppendTextData(data, separators, block, [&file](std::string& text) {
        if (text.size() >= kBlockSize) {
            file.Write(text);
            text.clear();
        }
    });
    file.Write(block);
    file.Commit();
}

}  // namespace dsf2vemo
