#include "mplus_writer.h"

#include <charconv>
#include <iterator>
#include <unordered_set>

#include "conversion_error.h"
#include "file_text.h"
#include "message_text.h"
#include "moment_checks.h"
#include "output_path.h"
#include "path_text.h"
#include "replacement_set.h"
#include "text_data_writer.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxNameLength = 8;
// Mplus reads at most 90 characters of an input line.
constexpr std::size_t kMaxLineLength = 90;
constexpr std::size_t kNumbersPerLine = 10;
// The warning names this many renamings and counts the rest.
constexpr std::size_t kRenamingsListed = 5;
constexpr std::string_view kFormatName = "Mplus summary data";

[[noreturn]] void Refuse(const std::string& description) {
    throw ConversionError(ErrorKind::Refused, description);
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string UpperCase(std::string_view name) {
    std::string upper(name);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

// The first of V<k>, V<k>_2, V<k>_3, … not yet taken; past 8 characters, V<m> for the first
// free m beyond the variable count (there are at most that many names, so one is free).
std::string FreeName(std::size_t position, std::size_t variable_count,
                     const std::unordered_set<std::string>& taken) {
    const std::string base = "V" + std::to_string(position);
    if (!taken.contains(base)) {
        return base;
    }
    for (std::size_t suffix = 2;; ++suffix) {
        const std::string name = base + "_" + std::to_string(suffix);
        if (name.size() > kMaxNameLength) {
            break;
        }
        if (!taken.contains(name)) {
            return name;
        }
    }
    for (std::size_t m = variable_count + 1;; ++m) {
        std::string name = "V" + std::to_string(m);
        if (!taken.contains(name)) {
            return name;
        }
    }
}

void EndLine(std::string& out) {
    out += "\r\n";
}

// The header as the title: trimmed, without the bytes that aren't text (a header padded with
// NUL bytes is common).
std::string TitleText(std::string_view header) {
    std::string title;
    for (const char c : header) {
        if (IsTextByte(static_cast<unsigned char>(c))) {
            title += c;
        }
    }
    const std::size_t first = title.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return title.substr(first, title.find_last_not_of(' ') - first + 1);
}

// The shortest form that reads back as the same double, with the exponent as Mplus writes it
// ("1E+20").
void AppendMplusNumber(std::string& out, double value) {
    char buffer[32];
    const auto size = static_cast<std::size_t>(
        std::to_chars(std::begin(buffer), std::end(buffer), value).ptr - buffer);
    // The exponent, where there is one, has a sign and two or three digits: "1e+20", "1e-300".
    for (std::size_t back = 4; back <= 5 && back <= size; ++back) {
        if (buffer[size - back] == 'e') {
            buffer[size - back] = 'E';
        }
    }
    out.append(buffer, size);
}

std::string InputText(const DsfFile& file, std::string_view data_file_name,
                      const MplusNameList& names) {
    std::string out;
    const std::string title = TitleText(file.Header);
    out += title.empty() ? "TITLE:" : "TITLE: " + title;
    EndLine(out);
    const std::string file_line = "DATA: FILE = \"" + std::string(data_file_name) + "\";";
    if (file_line.size() > kMaxLineLength) {
        Refuse("the data file's name, \"" + MessageTextFromFile(data_file_name) +
               "\", makes the input file's line " + std::to_string(file_line.size()) +
               " characters long, and Mplus reads at most " + std::to_string(kMaxLineLength));
    }
    out += file_line;
    EndLine(out);
    out += "  TYPE = MEANS COVARIANCE;";
    EndLine(out);
    out += "  NOBSERVATIONS = " + std::to_string(file.Moments.CaseCount) + ";";
    EndLine(out);

    std::string line = "VARIABLE: NAMES =";
    for (std::size_t i = 0; i < names.names.size(); ++i) {
        const std::string& name = names.names[i];
        // Room for the name, its space and, after the last, the semicolon.
        const std::size_t needed = 1 + name.size() + (i + 1 == names.names.size() ? 1 : 0);
        if (line.size() + needed > kMaxLineLength) {
            out += line;
            EndLine(out);
            line = "   ";
        }
        line += ' ';
        line += name;
    }
    out += line + ";";
    EndLine(out);
    for (const MplusRenaming& renaming : names.renamings) {
        out += "! " + renaming.name + " = " + QuotedFileText(renaming.original);
        EndLine(out);
    }
    out += "MODEL:";
    EndLine(out);
    out += "  ! the model goes here";
    EndLine(out);
    return out;
}

// Appends the data file's text to `out`; after each line, `line_done(out)` may pass the text on
// and clear `out`.
template <class LineDone>
void AppendDataText(const MomentData& data, std::string& out, LineDone line_done) {
    const auto append_row = [&](std::span<const double> values) {
        std::size_t on_line = 0;
        for (const double value : values) {
            if (on_line == kNumbersPerLine) {
                EndLine(out);
                line_done(out);
                on_line = 0;
            }
            if (on_line++ > 0) {
                out += ' ';
            }
            AppendMplusNumber(out, value);
        }
        EndLine(out);
        line_done(out);
    };
    append_row(data.Means);
    const std::span<const double> covariances(data.Covariances);
    std::size_t k = 0;
    for (std::size_t i = 1; i <= data.VariableNames.size(); k += i, ++i) {
        append_row(covariances.subspan(k, i));
    }
}

void CheckMplusData(const MomentData& data) {
    CheckFiniteMoments(data, kFormatName);
    if (data.VariableCount < 1) {
        Refuse("there are no variables, and Mplus summary data need at least one");
    }
}

// The data file's name as the input file holds it: single-byte text in the code page the input
// file is written in (the ANSI code page on Windows), quoted, so no quote in it.
std::string DataFileNameText(const fs::path& data_file) {
    const fs::path name = data_file.filename();
#ifdef _WIN32
    const std::optional<std::string> ansi = AnsiFromUtf8(PathText(name));
    if (!ansi) {
        Refuse("the data file's name \"" + PathText(name) +
               "\" holds a character that the ANSI code page (" + std::to_string(AnsiCodePage()) +
               ") of the input file can't hold");
    }
    std::string text = *ansi;
#else
    std::string text = name.native();
#endif
    if (text.find('"') != std::string::npos) {
        Refuse("the data file's name \"" + PathText(name) +
               "\" holds a double quote, which an Mplus input file can't hold in a file name");
    }
    return text;
}

}  // namespace

bool IsMplusName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength || !IsAsciiLetter(name.front())) {
        return false;
    }
    for (const char c : name) {
        if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '_') {
            return false;
        }
    }
    return true;
}

MplusNameList MplusNames(std::span<const std::string> names) {
    MplusNameList list;
    list.names.resize(names.size());
    std::unordered_set<std::string> taken;
    std::vector<std::size_t> renamed;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (IsMplusName(names[i]) && taken.insert(UpperCase(names[i])).second) {
            list.names[i] = names[i];
        } else {
            renamed.push_back(i);
        }
    }
    for (const std::size_t i : renamed) {
        std::string name = FreeName(i + 1, names.size(), taken);
        taken.insert(name);
        list.renamings.push_back({i + 1, names[i], name});
        list.names[i] = std::move(name);
    }
    return list;
}

std::string RenamingSentence(std::span<const MplusRenaming> renamings) {
    if (renamings.empty()) {
        return {};
    }
    std::string sentence = std::to_string(renamings.size()) +
                           (renamings.size() == 1 ? " name" : " names") + " renamed for Mplus: ";
    for (std::size_t i = 0; i < renamings.size() && i < kRenamingsListed; ++i) {
        if (i > 0) {
            sentence += ", ";
        }
        sentence += renamings[i].name + " = " + QuotedFileText(renamings[i].original);
    }
    if (renamings.size() > kRenamingsListed) {
        sentence += " and " + std::to_string(renamings.size() - kRenamingsListed) + " more";
    }
    return sentence;
}

fs::path MplusDataPath(const fs::path& input_file) {
    fs::path data = input_file;
    data.replace_extension(".dat");
    return data;
}

MplusFiles FormatMplus(const DsfFile& file, std::string_view data_file_name) {
    CheckMplusData(file.Moments);
    MplusNameList names = MplusNames(file.Moments.VariableNames);
    MplusFiles files;
    files.input = InputText(file, data_file_name, names);
    AppendDataText(file.Moments, files.data, [](std::string&) {});
    files.renamings = std::move(names.renamings);
    return files;
}

std::vector<MplusRenaming> WriteMplus(const fs::path& input_file, const DsfFile& file) {
    CheckMplusData(file.Moments);
    const fs::path data_file = MplusDataPath(input_file);
    if (IsSameFile(data_file, input_file)) {
        Refuse("the input file and the data file would both be \"" + PathText(input_file) +
               "\"; give the output another extension");
    }
    MplusNameList names = MplusNames(file.Moments.VariableNames);
    const std::string input_text = InputText(file, DataFileNameText(data_file), names);
    CheckOutputTarget(data_file);
    CheckOutputTarget(input_file);

    // The data before the input file that names it.
    const fs::path targets[] = {data_file, input_file};
    ReplacementSet files(targets);
    constexpr std::size_t kBlockSize = std::size_t{1} << 20;
    std::string block;
    block.reserve(2 * kBlockSize);
    AppendDataText(file.Moments, block, [&files](std::string& text) {
        if (text.size() >= kBlockSize) {
            files.File(0).Write(text);
            text.clear();
        }
    });
    files.File(0).Write(block);
    files.File(1).Write(input_text);
    files.Commit();
    return std::move(names.renamings);
}

}  // namespace dsf2vemo
