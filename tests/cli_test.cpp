#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "case_name.h"
#include "cli_app.h"
#include "dsf_builder.h"
#include "message_text.h"
#include "temp_dir.h"

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;
using testing::BuildDsf;
using testing::DemoMomentData;
using ::testing::HasSubstr;
using testing::ReadFileText;
using testing::WriteFileBytes;
using testing::WriteFileText;

using testing::kDemoComma;
using testing::kDemoPane;
using testing::kDemoSemicolon;

class CliTest : public ::testing::Test {
  protected:
    CliTest() { WriteFileBytes(Demo(), BuildDsf(DemoMomentData(), "DEMO")); }

    fs::path Demo() const { return dir_.Path() / "demo.dsf"; }
    std::string Arg(const fs::path& path) const { return path.string(); }

    int Run(std::vector<std::string> arguments, Separators locale = {",", "."}) {
        out_.str("");
        err_.str("");
        return cli::Run(arguments, locale, out_, err_);
    }

    testing::TempDir dir_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(CliTest, WritesNextToTheInputByDefault) {
    EXPECT_EQ(Run({Arg(Demo())}), 0);
    EXPECT_EQ(ReadFileText(dir_.Path() / "demo.txt"), kDemoComma);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str(), "");
}

TEST_F(CliTest, LocaleSeparatorsAreTheDefaults) {
    EXPECT_EQ(Run({Arg(Demo()), "-o", "-"}, {";", ","}), 0);
    EXPECT_EQ(out_.str(), kDemoSemicolon);
}

TEST_F(CliTest, OptionsOverrideTheLocale) {
    EXPECT_EQ(Run({"--list-separator", ";", "--decimal-separator", ",", "-o", "-", Arg(Demo())}),
              0);
    EXPECT_EQ(out_.str(), kDemoSemicolon);
}

TEST_F(CliTest, EchoPrintsThePaneTextAfterConverting) {
    EXPECT_EQ(Run({"--echo", Arg(Demo())}), 0);
    EXPECT_EQ(out_.str(), kDemoPane);
    EXPECT_EQ(ReadFileText(dir_.Path() / "demo.txt"), kDemoComma);
}

// Of several inputs, each one read is echoed, an empty line between two echoes; one that fails
// echoes nothing.
TEST_F(CliTest, EchoesOfSeveralInputsAreSeparatedByAnEmptyLine) {
    const std::string missing = Arg(dir_.Path() / "missing.dsf");
    struct Case {
        std::vector<std::string> inputs;
        std::string out;
    } const cases[] = {{{Arg(Demo())}, kDemoPane},
                       {{Arg(Demo()), Arg(Demo())}, kDemoPane + "\n" + kDemoPane},
                       {{missing, Arg(Demo())}, kDemoPane},
                       {{Arg(Demo()), missing, Arg(Demo()), Arg(Demo())},
                        kDemoPane + "\n" + kDemoPane + "\n" + kDemoPane}};
    for (const auto& [inputs, out] : cases) {
        std::vector<std::string> arguments = {"--echo"};
        arguments.insert(arguments.end(), inputs.begin(), inputs.end());
        Run(arguments);
        EXPECT_EQ(out_.str(), out) << inputs.size() << " inputs";
    }
}

TEST_F(CliTest, DecimalSeparatorAppliesToTheEchoToo) {
    EXPECT_EQ(Run({"--echo", "--decimal-separator", ",", "--list-separator", ";", "-o",
                   Arg(dir_.Path() / "x.txt"), Arg(Demo())}),
              0);
    EXPECT_THAT(out_.str(), HasSubstr(" ,300 2,250\r\n"));
    EXPECT_EQ(ReadFileText(dir_.Path() / "x.txt"), kDemoSemicolon);
}

TEST_F(CliTest, OutputNameFollowsTheWindowsRule) {
    WriteFileBytes(dir_.Path() / "my.study.final.dsf", BuildDsf(DemoMomentData()));
    WriteFileBytes(dir_.Path() / "noext", BuildDsf(DemoMomentData()));
    EXPECT_EQ(Run({Arg(dir_.Path() / "my.study.final.dsf"), Arg(dir_.Path() / "noext")}), 0);
    EXPECT_EQ(ReadFileText(dir_.Path() / "my.study.final.txt"), kDemoComma);
    EXPECT_EQ(ReadFileText(dir_.Path() / "noext.txt"), kDemoComma);
}

TEST_F(CliTest, OneFailingInputDoesNotStopTheOthers) {
    WriteFileBytes(dir_.Path() / "second.dsf", BuildDsf(DemoMomentData()));
    EXPECT_EQ(Run({Arg(dir_.Path() / "missing.dsf"), Arg(Demo()), Arg(dir_.Path() / "second.dsf")}),
              1);
    EXPECT_EQ(ReadFileText(dir_.Path() / "demo.txt"), kDemoComma);
    EXPECT_EQ(ReadFileText(dir_.Path() / "second.txt"), kDemoComma);
    EXPECT_EQ(err_.str(), "dsf2vemo-cli: error: cannot read '" + Arg(dir_.Path() / "missing.dsf") +
                              "': No such file or directory\n");
    EXPECT_FALSE(fs::exists(dir_.Path() / "missing.dsf"));
    EXPECT_FALSE(fs::exists(dir_.Path() / "missing.txt"));
}

// Conversions that fail: status 1, a message naming the file and the reason, the output untouched.
struct FailureCase {
    const char* name;
    std::vector<std::byte> input;
    std::vector<std::string> extra_arguments;
    std::string message_part;
    // A read-only file beside the input that the conversion would write too.
    const char* read_only_file = nullptr;
};

class CliFailureTest : public CliTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CliFailureTest, ReportsAndWritesNothing) {
    const FailureCase& c = GetParam();
    const fs::path input = dir_.Path() / "bad.dsf";
    const fs::path output = dir_.Path() / "bad.txt";
    WriteFileBytes(input, c.input);
    WriteFileText(output, "existing");
    if (c.read_only_file != nullptr) {
        WriteFileText(dir_.Path() / c.read_only_file, "existing");
        fs::permissions(dir_.Path() / c.read_only_file, fs::perms::all & ~fs::perms::owner_write &
                                                            ~fs::perms::group_write &
                                                            ~fs::perms::others_write);
    }
    std::vector<std::string> arguments = c.extra_arguments;
    arguments.push_back(Arg(input));
    EXPECT_EQ(Run(arguments), 1);
    EXPECT_THAT(err_.str(), HasSubstr("dsf2vemo-cli: error: cannot "));
    EXPECT_THAT(err_.str(), HasSubstr(c.message_part));
    EXPECT_EQ(ReadFileText(output), "existing");
    EXPECT_EQ(out_.str(), "");
}

std::vector<std::byte> DemoWithName(std::string name) {
    MomentData data = DemoMomentData();
    data.VariableNames[1] = std::move(name);
    return BuildDsf(data);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliFailureTest,
    ::testing::Values(
        FailureCase{"Truncated",
                    [] {
                        auto bytes = BuildDsf(DemoMomentData());
                        bytes.resize(100);
                        return bytes;
                    }(),
                    {},
                    "bad.dsf': the file is 100 bytes long, but a data system file with 2 "
                    "variables needs 128 bytes"},
        FailureCase{"NameWithSeparator",
                    DemoWithName("A,B"),
                    {},
                    "bad.txt': the name of variable 2, \"A,B\", contains the list separator"},
        FailureCase{"SameSeparators",
                    BuildDsf(DemoMomentData()),
                    {"--decimal-separator", ","},
                    "share a character"},
        FailureCase{"ReadOnlyMplusDataFile",
                    BuildDsf(DemoMomentData()),
                    {"--format", "mplus"},
                    "bad.dat': the file is read-only",
                    "bad.dat"},
        FailureCase{"ReadOnlyMplusInputFile",
                    BuildDsf(DemoMomentData()),
                    {"--format", "mplus"},
                    "bad.inp': the file is read-only",
                    "bad.inp"}),
    testing::CaseName());

TEST_F(CliTest, InputNamedLikeItsOutputIsRefused) {
    const fs::path input = dir_.Path() / "data.txt";
    WriteFileBytes(input, BuildDsf(DemoMomentData()));
    const std::string before = ReadFileText(input);
    EXPECT_EQ(Run({Arg(input)}), 1);
    EXPECT_THAT(err_.str(), HasSubstr("it is the input file itself"));
    EXPECT_EQ(ReadFileText(input), before);
    EXPECT_EQ(Run({Arg(input), "-o", Arg(input)}), 1);
    EXPECT_EQ(ReadFileText(input), before);
}

// Whether each input has findings, and the exit status; the warnings of a conversion are checked
// with every finding, next to the diagnosis.
TEST_F(CliTest, CheckPrintsFindingsWritesNothingAndQuietSilencesThem) {
    const fs::path correlation = dir_.Path() / "corr.dsf";  // every variance exactly 1
    WriteFileBytes(correlation, BuildDsf({150, 2, {"X1", "X2"}, {1, 0.3, 1}, {10, 20.5}}));
    EXPECT_EQ(Run({"--check", Arg(Demo())}), 0);
    EXPECT_EQ(Run({"--check", Arg(Demo()), Arg(correlation)}), 1);
    EXPECT_EQ(out_.str(), Arg(Demo()) + ": no findings\n" + Arg(correlation) +
                              ": every variance is exactly 1: looks like a correlation matrix; it "
                              "will be labelled as covariances\n");
    EXPECT_EQ(err_.str(), "");
    EXPECT_EQ(Run({"--check", Arg(Demo()), Arg(dir_.Path() / "missing.dsf")}), 1);
    EXPECT_THAT(err_.str(), HasSubstr("cannot read '" + Arg(dir_.Path() / "missing.dsf")));
    EXPECT_EQ(Run({"--check", "--quiet", Arg(correlation)}), 1);
    EXPECT_EQ(out_.str() + err_.str(), "");
    EXPECT_FALSE(fs::exists(dir_.Path() / "demo.txt"));
    EXPECT_FALSE(fs::exists(dir_.Path() / "corr.txt"));

    EXPECT_EQ(Run({"--quiet", Arg(correlation)}), 0);
    EXPECT_EQ(err_.str(), "");
    EXPECT_TRUE(fs::exists(dir_.Path() / "corr.txt"));
}

struct UsageCase {
    const char* name;
    std::vector<std::string> arguments;
};

class CliUsageTest : public CliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageTest, IsAUsageError) {
    std::vector<std::string> arguments = GetParam().arguments;
    for (std::string& argument : arguments) {
        if (argument == "DEMO") {
            argument = Arg(Demo());
        }
    }
    EXPECT_EQ(Run(arguments), 2);
    EXPECT_THAT(err_.str(), ::testing::StartsWith("dsf2vemo-cli: error: "));
    EXPECT_FALSE(fs::exists(dir_.Path() / "demo.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliUsageTest,
    ::testing::Values(UsageCase{"NoInput", {}}, UsageCase{"UnknownOption", {"--bogus", "DEMO"}},
                      UsageCase{"OutputWithTwoInputs", {"-o", "x.txt", "DEMO", "DEMO"}},
                      UsageCase{"OutputWithThreeInputs", {"-o", "x.txt", "DEMO", "DEMO", "DEMO"}},
                      UsageCase{"EchoToStandardOutput", {"--echo", "-o", "-", "DEMO"}},
                      UsageCase{"MissingOptionValue", {"DEMO", "--list-separator"}},
                      UsageCase{"CheckWithOutput", {"--check", "-o", "x.txt", "DEMO"}},
                      UsageCase{"CheckWithEcho", {"--check", "--echo", "DEMO"}}),
    testing::CaseName());

#ifdef _WIN32
// The options arrive as UTF-8; the file is ANSI text.
TEST_F(CliTest, SeparatorOptionsAreWrittenInTheAnsiCodePage) {
    if (AnsiCodePage() != 1252) {
        GTEST_SKIP() << "written for code page 1252, not " << AnsiCodePage();
    }
    EXPECT_EQ(Run({"--list-separator", "\xC2\xA6", "-o", "-", Arg(Demo())}), 0);  // U+00A6
    std::string expected = kDemoComma;
    std::replace(expected.begin(), expected.end(), ',', '\xA6');
    EXPECT_EQ(out_.str(), expected);

    EXPECT_EQ(Run({"--decimal-separator", "\xCE\xA9", Arg(Demo())}), 2);  // U+03A9
    EXPECT_EQ(err_.str(),
              "dsf2vemo-cli: error: --decimal-separator \"\xCE\xA9\" holds a character that the "
              "ANSI code page (1252) of the text data file can't hold\nRun with --help for more "
              "information.\n");
    EXPECT_FALSE(fs::exists(dir_.Path() / "demo.txt"));
}
#endif

TEST_F(CliTest, VersionAndHelp) {
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out_.str(), "dsf2vemo 1.00\n");
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_THAT(out_.str(), HasSubstr("--list-separator"));
    EXPECT_THAT(out_.str(), HasSubstr("--echo"));
}

}  // namespace
}  // namespace dsf2vemo
