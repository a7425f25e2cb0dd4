// The JSON and Mplus outputs: each read back to the very doubles of the data system file, the
// Mplus name rules, the refusal of values neither format can hold, and the rule that picks the
// format from the output's name or --format.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <nlohmann/json.hpp>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "case_name.h"
#include "cli_app.h"
#include "conversion_error.h"
#include "dsf_builder.h"
#include "folder_tree.h"
#include "format_read_back.h"
#include "json_writer.h"
#include "mplus_pair.h"
#include "output_format.h"
#include "temp_dir.h"
#include "write_output.h"

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;
using testing::BuildDsf;
using testing::ReadFileText;
using testing::TempDir;
using testing::WriteFileBytes;
using testing::WriteFileText;

DsfFile ReadBack(const MomentData& data, std::string_view header) {
    NullPane pane;
    return ParseDsfFile(BuildDsf(data, header), pane);
}

// Moment data that are hard to write exactly, with the header and names as UTF-8 text (for
// names, none where they are ASCII), and the Mplus title.
struct TrickyCase {
    const char* name;
    MomentData data;
    std::string header;
    std::string header_text;
    std::vector<std::string> name_texts;
    std::string title;
};

const TrickyCase kTricky[] = {
    {"Demo", testing::DemoMomentData(), "DEMO", "DEMO", {}, "TITLE: DEMO"},
    {"Exponents",
     {10, 2, {"A", "B"}, {1e-310, -1.5e15, 1e300}, {1e22, -2.5e-8}},
     "",
     "",
     {},
     "TITLE:"},
    {"SeventeenDigits",
     {3, 2, {"A", "B"}, {0.1 + 0.2, 123456789012345678.0, 9.8765432109876543e19}, {-0.0, 2 / 3.}},
     "17",
     "17",
     {},
     "TITLE: 17"},
    {"HighBitNames",
     {5, 3, {"\xC4rger", "\x80uro", "caf\xE9"}, {1, 2, 3, 4, 5, 6}, {7, 8, 9}},
     "\xE9t\xE9\x01",
     "\xC3\xA9t\xC3\xA9\x01",
     {"\xC3\x84rger", "\xE2\x82\xACuro", "caf\xC3\xA9"},
     "TITLE: \xE9t\xE9"},
    {"QuotesAndControls",
     {5, 3, {"a\"b", "c\\d", "e\x1F"}, {1, 2, 3, 4, 5, 6}, {7, 8, 9}},
     std::string("N\0L", 3),
     std::string("N\0L", 3),
     {},
     "TITLE: NL"},
    // A comment and a command in the header would cut the title short.
    {"HeaderLikeMplus",
     {7, 2, {"BY", "with"}, {1, 0.5, 2}, {0, 1}},
     "Wave 2! DATA: x",
     "Wave 2! DATA: x",
     {},
     "TITLE: Wave 2. DATA. x"},
    {"OneVariable", {7, 1, {"A"}, {0.5}, {-2}}, "P1", "P1", {}, "TITLE: P1"},
    // Long enough for the Mplus name list to wrap and the rows to take several lines.
    {"TwoHundredVariables", testing::SyntheticMomentData(200), "WIDE", "WIDE", {}, "TITLE: WIDE"},
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos;
         start = end + 2, end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "the last line has no CR LF";
    return lines;
}

class ReadBackTest : public ::testing::TestWithParam<TrickyCase> {};

TEST_P(ReadBackTest, JsonGivesTheSameDoubles) {
    const TrickyCase& c = GetParam();
    const DsfFile file = ReadBack(c.data, c.header);
    const std::string text = FormatJson(file);
    EXPECT_EQ(testing::CompareJson(file, text), "");
    const auto json = nlohmann::json::parse(text);
    EXPECT_EQ(json["header"], c.header_text);
    EXPECT_EQ(json["variables"], c.name_texts.empty() ? c.data.VariableNames : c.name_texts);
}

TEST_P(ReadBackTest, MplusGivesTheSameDoubles) {
    const TrickyCase& c = GetParam();
    const DsfFile file = ReadBack(c.data, c.header);
    const MplusFiles files = FormatMplus(file, "study.dat");
    EXPECT_EQ(testing::CompareMplus(file, files), "");
    const std::size_t p = c.data.VariableNames.size();
    // Means first, then the triangle; each row starts a line, 10 numbers a line at most.
    std::size_t expected_lines = (p + 9) / 10;
    for (std::size_t i = 1; i <= p; ++i) {
        expected_lines += (i + 9) / 10;
    }
    EXPECT_EQ(Lines(files.data).size(), expected_lines);
    for (const std::string& line : Lines(files.data)) {
        EXPECT_LE(std::count(line.begin(), line.end(), ' '), 9) << line;
        EXPECT_EQ(line.find_first_not_of("0123456789.E+- "), std::string::npos) << line;
    }

    const std::vector<std::string> input = Lines(files.input);
    ASSERT_GE(input.size(), 6u);
    EXPECT_EQ(input[1], c.title);
    EXPECT_EQ(input[2], "DATA: FILE = \"study.dat\";");
    EXPECT_EQ(input[3], "  TYPE = MEANS COVARIANCE;");
    EXPECT_EQ(input[4], "  NOBSERVATIONS = " + std::to_string(c.data.CaseCount) + ";");
}

INSTANTIATE_TEST_SUITE_P(Tricky, ReadBackTest, ::testing::ValuesIn(kTricky), testing::CaseName());

// The samples --help shows are what the writers write.
TEST(OutputFormatsTest, HelpShowsEachFormatAsWritten) {
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::Run({"--help"}, {",", "."}, out, err), 0);
    const std::string help = out.str();
    EXPECT_THAT(help, ::testing::HasSubstr("--format"));
    const DsfFile demo = ReadBack(testing::DemoMomentData(), "DEMO");
    const MplusFiles mplus = FormatMplus(demo, "demo.dat");
    std::string samples = testing::kDemoComma + FormatJson(demo) + mplus.input + mplus.data;
    std::erase(samples, '\r');
    std::istringstream lines(samples);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_THAT(help, ::testing::HasSubstr("\n    " + line + "\n")) << line;
    }
}

struct NameCase {
    const char* name;
    std::vector<std::string> names;
    std::vector<std::string> expected;
};

class MplusNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(MplusNameTest, RenamesWhatMplusCantTake) {
    const NameCase& c = GetParam();
    std::vector<MplusRenaming> renamings;
    for (std::size_t i = 0; i < c.names.size(); ++i) {
        if (c.names[i] != c.expected[i]) {
            renamings.push_back({i + 1, c.names[i], c.expected[i]});
        }
    }
    const MplusNameList list = MplusNames(c.names);
    EXPECT_EQ(list.names, c.expected);
    EXPECT_EQ(list.renamings, renamings);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MplusNameTest,
    ::testing::Values(
        NameCase{"ValidNamesStay", {"X1", "ab_C", "Zz9_____"}, {"X1", "ab_C", "Zz9_____"}},
        NameCase{"BrokenRules",
                 {"", "a b", "\xE9t\xE9", "1st", "_x", "x-y", "NINECHARS"},
                 {"V1", "V2", "V3", "V4", "V5", "V6", "V7"}},
        NameCase{"DuplicatesIgnoringCase", {"Age", "AGE", "age"}, {"Age", "V2", "V3"}},
        NameCase{"NewNameTaken", {"x y", "v1", "V3", "a b"}, {"V1_2", "v1", "V3", "V4"}},
        NameCase{"NewNamesStayUnique", {"V2_2", "b b", "V2"}, {"V2_2", "V2_3", "V2"}},
        NameCase{"ByteEdges",
                 {"aZ09_", "@a", "[a", "`a", "{a", "a/", "a:", "0a", "_a"},
                 {"aZ09_", "V2", "V3", "V4", "V5", "V6", "V7", "V8", "V9"}},
        NameCase{"ReservedWords",
                 {"BY", "with", "Pwith", "THROUGH", "ONE"},
                 {"V1", "V2", "V3", "THROUGH", "ONE"}}),
    testing::CaseName());

TEST(MplusNameTest, PastEightCharactersTakesANumberBeyondTheVariables) {
    std::vector<std::string> names;
    for (int i = 1; i < 10000; ++i) {
        names.push_back("N" + std::to_string(i));
    }
    names.push_back("x y");  // position 10000
    names[0] = "V10000";
    for (int suffix = 2; suffix <= 9; ++suffix) {
        names[static_cast<std::size_t>(suffix)] = "V10000_" + std::to_string(suffix);
    }
    names[20] = "V10001";
    EXPECT_EQ(MplusNames(names).names.back(), "V10002");
    // V10000_2 is eight characters, as many as a name may have.
    names[2] = "N3";
    EXPECT_EQ(MplusNames(names).names.back(), "V10000_2");
}

// The name list fills a line up to 90 characters, and a name that would make it 91 starts the
// next.
TEST(MplusNameTest, NamesFillLinesOfNinetyCharacters) {
    for (const std::string first : {"N000001", "N0000001"}) {
        SCOPED_TRACE(first);
        const std::vector<std::string> names = {first,      "N000002", "N000003", "N000004",
                                                "N000005",  "N000006", "N000007", "N000008",
                                                "M0000001", "Z"};
        std::string line = "VARIABLE: NAMES =";
        for (std::size_t i = 0; i < (first.size() == 7 ? 9 : 8); ++i) {
            line += " " + names[i];
        }
        const MomentData data{3, 10, names, std::vector<double>(55, 1), std::vector<double>(10, 0)};
        const std::vector<std::string> lines =
            Lines(FormatMplus(ReadBack(data, ""), "s.dat").input);
        ASSERT_GE(lines.size(), 7u);
        EXPECT_EQ(lines[5], line);
        EXPECT_EQ(lines[6], first.size() == 7 ? "    Z;" : "    M0000001 Z;");
    }
}

TEST(MplusNameTest, SentenceNamesFiveAndCountsTheRest) {
    const MplusNameList list =
        MplusNames(std::vector<std::string>{"\xE9", "a\x01", "3", "4", "5", "6", "7"});
    EXPECT_EQ(RenamingSentence(list.renamings),
              "7 names renamed for Mplus: V1 = \"\xE9\", V2 = \"a\\x01\", V3 = \"3\", V4 = \"4\", "
              "V5 = \"5\" and 2 more");
    for (const std::size_t count : {5, 6}) {
        EXPECT_THAT(RenamingSentence(std::span(list.renamings).first(count)),
                    ::testing::EndsWith(count == 5 ? "V5 = \"5\"" : "V5 = \"5\" and 1 more"));
    }
    const std::string input =
        FormatMplus(ReadBack({1, 2, {"\xE9", "a\x01"}, {1, 2, 3}, {4, 5}}, ""), "x.dat").input;
    EXPECT_THAT(input, ::testing::HasSubstr("\r\n! V1 = \"\xE9\"\r\n! V2 = \"a\\x01\"\r\nMODEL:"));
}

struct RefusalCase {
    const char* name;
    OutputFormat format;
    MomentData data;
    std::string message;
    // Where set, the output's name, in an empty folder; otherwise x.json or x.inp, which exists.
    std::string output_name = {};
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, WritesNothing) {
    const RefusalCase& c = GetParam();
    TempDir dir;
    const bool existed = c.output_name.empty();
    const fs::path output = dir.Path() / (!existed                         ? c.output_name
                                          : c.format == OutputFormat::Json ? "x.json"
                                                                           : "x.inp");
    if (existed) {
        WriteFileText(output, "old");
    }
    try {
        WriteOutput(output, {"H", c.data}, {",", "."}, c.format);
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.Kind(), ErrorKind::Refused);
        EXPECT_EQ(std::string(error.what()), c.message);
    }
    if (existed) {
        EXPECT_EQ(ReadFileText(output), "old");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()),
              existed ? 1 : 0);
}

const MomentData kTwoVariables = {1, 2, {"A", "B"}, {1, 0.5, 2}, {0, 1}};

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusalTest,
    ::testing::Values(RefusalCase{"JsonCovariance",
                                  OutputFormat::Json,
                                  {1, 2, {"A", "B"}, {1, kNaN, -kInf}, {kInf, 2}},
                                  "covariance (2, 1) is NaN, which JSON can't hold"},
                      RefusalCase{"JsonMean",
                                  OutputFormat::Json,
                                  {1, 2, {"A", "B"}, {1, 2, 3}, {1, -kInf}},
                                  "mean 2 is -Inf, which JSON can't hold"},
                      RefusalCase{"MplusDiagonal",
                                  OutputFormat::Mplus,
                                  {1, 2, {"A", "B"}, {1, 2, kInf}, {kNaN, 2}},
                                  "covariance (2, 2) is Inf, which Mplus summary data can't hold"},
                      RefusalCase{"MplusWithoutCases",
                                  OutputFormat::Mplus,
                                  {0, 2, {"A", "B"}, {1, 0.5, 2}, {0, 1}},
                                  "the number of cases is 0, and Mplus summary data need at least "
                                  "one observation"},
                      RefusalCase{"MplusDataFileNameTooLong", OutputFormat::Mplus, kTwoVariables,
                                  "the data file's name, \"" + std::string(73, 'n') +
                                      ".dat\", makes the input file's line 93 characters long, "
                                      "and Mplus reads at most 90",
                                  std::string(73, 'n') + ".inp"},
                      RefusalCase{"MplusDataFileNameWithQuote", OutputFormat::Mplus, kTwoVariables,
                                  "the data file's name \"a\"b.dat\" holds a double quote, which "
                                  "an Mplus input file can't hold in a file name",
                                  "a\"b.inp"},
                      RefusalCase{"MplusDataFileNameWithLineEnd", OutputFormat::Mplus,
                                  kTwoVariables,
                                  "byte 2 of the data file's name is the control character 0x0A, "
                                  "which an Mplus input file can't hold in a file name",
                                  "a\nb.inp"}),
    testing::CaseName());

struct FormatRuleCase {
    const char* name;
    std::vector<std::string> arguments;  // besides the input, demo.dsf
    int status;
    // Files written in the folder, and what each begins with.
    std::vector<std::pair<std::string, std::string>> files;
    std::string standard_output_start;
};

class FormatRuleTest : public ::testing::TestWithParam<FormatRuleCase> {};

TEST_P(FormatRuleTest, ExtensionOrFormatOptionDecides) {
    const FormatRuleCase& c = GetParam();
    TempDir dir;
    const fs::path input = dir.Path() / "demo.dsf";
    WriteFileBytes(input, BuildDsf(testing::DemoMomentData(), "DEMO"));
    std::vector<std::string> arguments = {input.string()};
    for (const std::string& argument : c.arguments) {
        arguments.push_back(argument.starts_with("@") ? (dir.Path() / argument.substr(1)).string()
                                                      : argument);
    }
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::Run(arguments, {",", "."}, out, err), c.status) << err.str();
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        const std::string name = entry.path().filename().string();
        if (name != "demo.dsf") {
            const std::string text = ReadFileText(entry.path());
            const std::size_t start = text.find_first_not_of("{ \n");
            files.emplace_back(name, text.substr(start, 6));
        }
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, c.files);
    EXPECT_TRUE(out.str().starts_with(c.standard_output_start)) << out.str();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatRuleTest,
    ::testing::Values(
        FormatRuleCase{"DefaultIsTheTextDataFile", {}, 0, {{"demo.txt", "rowtyp"}}, ""},
        FormatRuleCase{
            "FormatGivesDefaultName", {"--format", "json"}, 0, {{"demo.json", "\"heade"}}, ""},
        FormatRuleCase{"MplusDefaultWritesTwoFiles",
                       {"--format", "mplus"},
                       0,
                       {{"demo.dat", "10 20."}, {"demo.inp", "! Writ"}},
                       ""},
        FormatRuleCase{"ExtensionIgnoringCase", {"-o", "@x.JSON"}, 0, {{"x.JSON", "\"heade"}}, ""},
        FormatRuleCase{
            "InpExtension", {"-o", "@x.Inp"}, 0, {{"x.Inp", "! Writ"}, {"x.dat", "10 20."}}, ""},
        FormatRuleCase{
            "OtherExtensionIsVemo", {"-o", "@x.json.bak"}, 0, {{"x.json.bak", "rowtyp"}}, ""},
        FormatRuleCase{"FormatOverridesExtension",
                       {"-o", "@study.out", "--format", "json"},
                       0,
                       {{"study.out", "\"heade"}},
                       ""},
        FormatRuleCase{
            "VemoOverridesInp", {"-o", "@x.inp", "--format", "vemo"}, 0, {{"x.inp", "rowtyp"}}, ""},
        FormatRuleCase{"JsonToStandardOutput", {"-o", "-", "--format", "json"}, 0, {}, "{\n  \"h"},
        FormatRuleCase{
            "MplusToStandardOutputIsUsageError", {"-o", "-", "--format", "mplus"}, 2, {}, ""},
        FormatRuleCase{"UnknownFormat", {"--format", "xml"}, 2, {}, ""},
        FormatRuleCase{
            "DataFileWouldBeTheInputFile", {"-o", "@x.DAT", "--format", "mplus"}, 1, {}, ""}),
    testing::CaseName());

TEST(FormatRuleTest, MplusNeverWritesOverItsInput) {
    TempDir dir;
    const fs::path input = dir.Path() / "study.dat";
    WriteFileBytes(input, BuildDsf(testing::DemoMomentData(), "DEMO"));
    const std::string before = ReadFileText(input);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(
        cli::Run({input.string(), "-o", (dir.Path() / "study.inp").string()}, {",", "."}, out, err),
        1);
    EXPECT_THAT(err.str(), ::testing::HasSubstr("study.dat': it is the input file itself"));
    EXPECT_EQ(ReadFileText(input), before);
    EXPECT_FALSE(fs::exists(dir.Path() / "study.inp"));
}

// What stands where a pair is written, as "name: text" or "name -> link": the texts "@old.inp" and
// "@old.dat" are a pair this program wrote for other data (so "@old.inp" names s.dat), "@early.inp"
// the same input file as an earlier version wrote it, without a fingerprint, "@other.inp" one
// naming other.dat; "@edge.inp" and "@past.inp" hold "@old.inp" with a comment after its first
// line long enough for its DATA line to end at the last byte read to tell whose s.dat is, and one
// byte past it. Afterwards, "@new.inp" and "@new.dat" are the pair of the demo file ("@newS.inp"
// naming S.dat). Folders are "name/".
struct PairCase {
    const char* name;
    std::vector<std::string> before;
    std::string refusal;                  // part of the message; empty where the pair is written
    std::vector<std::string> after = {};  // empty: as before
    std::string target = "s.inp";
    std::string concerns = "s.dat";  // the file a refusal names as the one not written
};

class MplusPairTest : public ::testing::TestWithParam<PairCase> {};

// The placeholders' texts.
std::vector<std::pair<std::string, std::string>> PairTexts() {
    const MplusFiles old = FormatMplus(ReadBack({9, 1, {"OLD"}, {4}, {1}}, "OLD"), "s.dat");
    const DsfFile demo_file = ReadBack(testing::DemoMomentData(), "DEMO");
    const MplusFiles demo = FormatMplus(demo_file, "s.dat");
    const std::string first = old.input.substr(0, old.input.find("\r\n") + 2);
    const std::string rest = old.input.substr(first.size());
    const std::size_t data_line_end = old.input.find("\";\r\n") + 4;
    const auto padded = [&](std::size_t end) {
        return first + "!" + std::string(end - data_line_end - 3, 'x') + "\r\n" + rest;
    };
    return {
        {"@old.inp", old.input},
        {"@old.dat", old.data},
        {"@early.inp", "! Written by dsf2vemo 1.00" + old.input.substr(old.input.find("\r\n"))},
        {"@other.inp", FormatMplus(ReadBack({9, 1, {"OLD"}, {4}, {1}}, "OLD"), "other.dat").input},
        {"@edge.inp", padded(4096)},
        {"@past.inp", padded(4097)},
        {"@new.inp", demo.input},
        {"@new.dat", demo.data},
        {"@newS.inp", FormatMplus(demo_file, "S.dat").input}};
}

TEST_P(MplusPairTest, ReplacesOnlyThisProgramsDataFile) {
    const PairCase& c = GetParam();
    const auto texts = PairTexts();
#ifdef _WIN32
    for (const std::string& entry : c.before) {
        if (entry.find(" -> ") != std::string::npos) {
            GTEST_SKIP() << "symbolic links are made by the tests on Linux and macOS only";
        }
    }
#endif
    TempDir dir;
    for (const std::string& entry : c.before) {
        const std::size_t link = entry.find(" -> ");
        const std::string name = entry.substr(0, std::min(link, entry.find(": ")));
        fs::create_directories((dir.Path() / name).parent_path());
        if (name.ends_with('/')) {
            continue;
        }
        if (link != std::string::npos) {
            fs::create_symlink(entry.substr(link + 4), dir.Path() / name);
            continue;
        }
        std::string text = entry.substr(name.size() + 2);
        for (const auto& [label, content] : texts) {
            text = text == label ? content : text;
        }
        WriteFileText(dir.Path() / name, text);
    }
    std::string refusal;
    try {
        WriteOutput(dir.Path() / c.target, ReadBack(testing::DemoMomentData(), "DEMO"), {",", "."},
                    OutputFormat::Mplus);
    } catch (const ConversionError& error) {
        refusal = error.what();
        EXPECT_EQ(error.File().empty()
                      ? ""
                      : error.File().lexically_normal().lexically_relative(dir.Path()),
                  c.concerns);
    }
    EXPECT_THAT(refusal, ::testing::HasSubstr(c.refusal));
    EXPECT_EQ(refusal.empty(), c.refusal.empty()) << refusal;
    std::vector<std::string> after;
    for (std::string entry : testing::FolderTree(dir.Path())) {
        for (const auto& [label, content] : texts) {
            if (entry.ends_with(": " + content)) {
                entry = entry.substr(0, entry.size() - content.size()) + label;
            }
        }
        after.push_back(entry);
    }
    std::vector<std::string> expected = c.after.empty() ? c.before : c.after;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(after, expected);
}

const std::string kSomeones = "exists already and is not one this program wrote for \"s.inp\"";
const std::string kChanged = "the data file \"s.dat\" is not the one \"s.inp\" was written with (";
const std::vector<std::string> kOld = {"s.dat: @old.dat", "s.inp: @old.inp"};
const std::vector<std::string> kNew = {"s.dat: @new.dat", "s.inp: @new.inp"};
#ifdef _WIN32
const std::vector<std::string> kOtherCaseAfter = kNew;
#else
const std::vector<std::string> kOtherCaseAfter = {"S.dat: @new.dat", "S.inp: @newS.inp",
                                                  "s.dat: @old.dat", "s.inp: @old.inp"};
#endif

INSTANTIATE_TEST_SUITE_P(
    Cases, MplusPairTest,
    ::testing::Values(
        PairCase{"Fresh", {}, "", kNew}, PairCase{"RawData", {"s.dat: 1 2 3"}, kSomeones},
        PairCase{"OurPair", kOld, "", kNew},
        PairCase{"OursForOtherData", {"s.dat: @old.dat", "s.inp: @other.inp"}, kSomeones},
        PairCase{
            "EarlierVersion", {"s.dat: @old.dat", "s.inp: @early.inp"}, "records no fingerprint"},
        PairCase{"RawDataInOurPair",
                 {"s.dat: 1 2 3", "s.inp: @old.inp"},
                 kChanged + "\"s.dat\" is 5 bytes long, where \"s.inp\" records 6)"},
        PairCase{"RawDataOfTheSameSize",
                 {"s.dat: 1\r\n5\r\n", "s.inp: @old.inp"},
                 kChanged + "the CRC-32 of \"s.dat\" is "},
        PairCase{"DataLineEndsWhereReadingEnds", {"s.dat: @old.dat", "s.inp: @edge.inp"}, "", kNew},
        PairCase{"DataLineEndsPastIt", {"s.dat: @old.dat", "s.inp: @past.inp"}, kSomeones},
        // The pair lives in the folder of the file the input file's link names.
        PairCase{"LinkedInput",
                 {"p/", "p/s.inp -> ../q/s.inp", "p/s.dat: 1 2 3", "q/", "q/s.inp: @old.inp",
                  "q/s.dat: @old.dat"},
                 "",
                 {"p/", "p/s.inp -> ../q/s.inp", "p/s.dat: 1 2 3", "q/", "q/s.dat: @new.dat",
                  "q/s.inp: @new.inp"},
                 "p/s.inp"},
        PairCase{"LinkedInputBesideRawData",
                 {"p/", "p/s.inp -> ../q/s.inp", "q/", "q/s.inp: @old.inp", "q/s.dat: 1 2 3"},
                 kChanged,
                 {},
                 "p/s.inp",
                 "q/s.dat"},
        PairCase{"InputLinkNamesTheDataFile", {"s.inp -> x.dat"}, "would both be", {}, "s.inp", ""},
        PairCase{"BothLeadToOneFile",
                 {"s.inp -> t.inp", "t.dat -> t.inp"},
                 "would both be",
                 {},
                 "s.inp",
                 ""},
        // Names compare as the file system compares them.
        PairCase{"OtherCase", kOld, "", kOtherCaseAfter, "S.inp"}),
    testing::CaseName());

TEST(FormatRuleTest, RenamingsAreOneWarningPerFile) {
    TempDir dir;
    const fs::path input = dir.Path() / "names.dsf";
    WriteFileBytes(input,
                   BuildDsf({9, 3, {"a b", "OK", "caf\xE9"}, {2, 0.5, 2, 0.2, 0.3, 2}, {1, 2, 3}}));
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::Run({input.string(), "--format", "mplus"}, {",", "."}, out, err), 0);
    EXPECT_EQ(err.str(), "dsf2vemo-cli: warning: " + input.string() +
                             ": 2 names renamed for Mplus: V1 = \"a b\", V3 = \"caf\xC3\xA9\"\n");
    EXPECT_THAT(ReadFileText(dir.Path() / "names.inp"),
                ::testing::HasSubstr("NAMES = V1 OK V3;\r\n! V1 = \"a b\"\r\n! V3 = \"caf\xE9\""));
}

}  // namespace
}  // namespace dsf2vemo
