#include "mplus_writer.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "ascii_text.h"
#include "conversion_error.h"
#include "file_text.h"
#include "message_text.h"
#include "moment_checks.h"
#include "number_format.h"

namespace dsf2vemo {

namespace {

constexpr std::size_t kMaxNameLength = 8;
// Mplus reads at most 90 characters of an input line.
constexpr std::size_t kMaxLineLength = 90;
constexpr std::size_t kNumbersPerLine = 10;
// The warning names this many renamings and counts the rest.
constexpr std::size_t kRenamingsListed = 5;

// Words of the Mplus language that can't name a variable, as its user's guide lists them.
constexpr std::array<std::string_view, 19> kReservedWords = {
    "ALL", "AND", "ARE", "BY", "EQ",  "GE",    "GT",   "IS",   "LE",   "LT",
    "NE",  "NOT", "ON",  "OR", "PON", "PWITH", "THRU", "WITH", "XWITH"};

std::string UpperCase(std::string_view name) {
    std::string upper(name);
    for (char& c : upper) {
        c = AsciiUpper(c);
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

void AppendLine(std::string& out, std::string_view line) {
    out += line;
    out += "\r\n";
}

// `words` after `prefix`, each after a space, in lines of at most `width` characters; the lines
// after the first begin with three spaces.
std::vector<std::string> WrapList(std::string_view prefix, std::span<const std::string> words,
                                  std::size_t width) {
    std::vector<std::string> lines{std::string(prefix)};
    bool line_has_words = false;
    for (const std::string& word : words) {
        if (line_has_words && lines.back().size() + 1 + word.size() > width) {
            lines.emplace_back("   ");
        }
        lines.back() += ' ';
        lines.back() += word;
        line_has_words = true;
    }
    return lines;
}

// The header as the title: trimmed, without the bytes that aren't text (a header padded with
// NUL bytes is common). Mplus would end the title at a "!", which starts a comment, or at a
// command's name and a colon ("DATA:"), which starts that command: both become full stops, so
// that the whole header is the title.
std::string TitleSection(std::string_view header) {
    std::string title;
    for (const char c : header) {
        if (c == '!' || c == ':') {
            title += '.';
        } else if (IsTextByte(static_cast<unsigned char>(c))) {
            title += c;
        }
    }
    const std::size_t first = title.find_first_not_of(' ');
    if (first == std::string::npos) {
        return "TITLE:\r\n";
    }
    std::string out;
    AppendLine(out, "TITLE: " + title.substr(first, title.find_last_not_of(' ') - first + 1));
    return out;
}

std::string DataFileLine(std::string_view data_file_name) {
    return "DATA: FILE = \"" + std::string(data_file_name) + "\";";
}

std::string DataSection(std::string_view data_file_name, std::int32_t cases) {
    CheckDataFileLine(data_file_name);
    std::string out;
    AppendLine(out, DataFileLine(data_file_name));
    AppendLine(out, "  TYPE = MEANS COVARIANCE;");
    AppendLine(out, "  NOBSERVATIONS = " + std::to_string(cases) + ";");
    return out;
}

// The names, and a comment line for each one renamed.
std::string VariableSection(const MplusNameList& names) {
    std::vector<std::string> words = names.names;
    if (!words.empty()) {
        words.back() += ';';
    }
    std::string out;
    for (const std::string& line : WrapList("VARIABLE: NAMES =", words, kMaxLineLength)) {
        AppendLine(out, line);
    }
    for (const MplusRenaming& renaming : names.renamings) {
        AppendLine(out, "! " + renaming.name + " = " + QuotedFileText(renaming.original));
    }
    return out;
}

constexpr std::string_view kModelSection = "MODEL:\r\n  ! the model goes here\r\n";

void CheckMplusData(const MomentData& data) {
    CheckFiniteMoments(data, "Mplus summary data");
    if (data.VariableCount < 1) {
        Refuse("there are no variables, and Mplus summary data need at least one");
    }
    if (data.CaseCount < 1) {
        Refuse("the number of cases is " + std::to_string(data.CaseCount) +
               ", and Mplus summary data need at least one observation");
    }
}

}  // namespace

bool IsMplusName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength || !IsAsciiLetter(name.front())) {
        return false;
    }
    if (std::find(kReservedWords.begin(), kReservedWords.end(), UpperCase(name)) !=
        kReservedWords.end()) {
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

void CheckDataFileLine(std::string_view data_file_name) {
    const std::size_t length = DataFileLine(data_file_name).size();
    if (length > kMaxLineLength) {
        Refuse("the data file's name, \"" + MessageTextFromFile(data_file_name) +
               "\", makes the input file's line " + std::to_string(length) +
               " characters long, and Mplus reads at most " + std::to_string(kMaxLineLength));
    }
}

MplusWriter::MplusWriter(const DsfFile& file) : file_(file) {
    CheckMplusData(file.Moments);
    names_ = MplusNames(file.Moments.VariableNames);
}

std::string MplusWriter::InputText(std::string_view first_line,
                                   std::string_view data_file_name) const {
    std::string out;
    AppendLine(out, first_line);
    return out + TitleSection(file_.Header) + DataSection(data_file_name, file_.Moments.CaseCount) +
           VariableSection(names_) + std::string(kModelSection);
}

void MplusWriter::AppendDataTo(BlockText& block) const {
    std::string& out = block.Text();
    const auto append_row = [&](std::span<const double> values) {
        std::size_t on_line = 0;
        for (const double value : values) {
            if (on_line == kNumbersPerLine) {
                out += "\r\n";
                block.LineDone();
                on_line = 0;
            }
            if (on_line++ > 0) {
                out += ' ';
            }
            // The exponent as Mplus writes it ("1E+20").
            AppendShortestNumber(out, value, {.exponent = 'E'});
        }
        out += "\r\n";
        block.LineDone();
    };
    const MomentData& data = file_.Moments;
    append_row(data.Means);
    for (std::size_t i = 0; i < data.VariableNames.size(); ++i) {
        append_row(CovarianceRow(data.Covariances, i));
    }
}

}  // namespace dsf2vemo
