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
#include <sstream>
#include <string>
#include <vector>

#include "case_name.h"
#include "cli_app.h"
#include "conversion_error.h"
#include "dsf_builder.h"
#include "format_read_back.h"
#include "json_writer.h"
#include "mplus_writer.h"
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
    EXPECT_TRUE(WrittenByThisProgram(files.input, "study.dat"));
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
}

TEST(MplusNameTest, SentenceNamesFiveAndCountsTheRest) {
    const MplusNameList list =
        MplusNames(std::vector<std::string>{"\xE9", "a\x01", "3", "4", "5", "6", "7"});
    EXPECT_EQ(RenamingSentence(list.renamings),
              "7 names renamed for Mplus: V1 = \"\xE9\", V2 = \"a\\x01\", V3 = \"3\", V4 = \"4\", "
              "V5 = \"5\" and 2 more");
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

// study.dat beside study.dsf is often the raw data: the data file is replaced only where it is
// this program's, and otherwise both files stay as they were.
TEST(FormatRuleTest, MplusReplacesOnlyItsOwnDataFile) {
    const DsfFile demo = ReadBack(testing::DemoMomentData(), "DEMO");
    const std::string ours = FormatMplus(demo, "study.dat").input;
    const std::string hand_written = "TITLE: raw\r\nDATA: FILE = \"study.dat\";\r\n";
    struct Case {
        std::string dat;  // before; empty: none
        std::string inp;
        bool replaced;
    } const cases[] = {{"", "", true},
                       {"", hand_written, true},
                       {"1 2 3", "", false},
                       {"1 2 3", hand_written, false},
                       {"1 2 3", FormatMplus(demo, "other.dat").input, false},
                       {"1 2 3", ours, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dat + " | " + c.inp);
        TempDir dir;
        const fs::path inp = dir.Path() / "study.inp";
        const fs::path dat = dir.Path() / "study.dat";
        for (const auto& [path, text] : {std::pair{dat, c.dat}, std::pair{inp, c.inp}}) {
            if (!text.empty()) {
                WriteFileText(path, text);
            }
        }
        try {
            WriteOutput(inp, demo, {",", "."}, OutputFormat::Mplus);
            EXPECT_TRUE(c.replaced);
            EXPECT_EQ(ReadFileText(inp), ours);
        } catch (const ConversionError& error) {
            EXPECT_FALSE(c.replaced) << error.what();
            EXPECT_EQ(error.File(), dat);
            EXPECT_EQ(std::string(error.what()),
                      "the data file \"study.dat\" exists already and is not one this program "
                      "wrote for \"study.inp\", so it stays as it is; choose another output name");
            EXPECT_EQ(ReadFileText(dat), c.dat);
            EXPECT_EQ(fs::exists(inp) ? ReadFileText(inp) : "", c.inp);
        }
    }
}

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
