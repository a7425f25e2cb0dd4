// The input "-": the data system file from standard input, what the command line asks of it, and
// the words for a standard input that is none.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "case_name.h"
#include "cli_app.h"
#include "dsf_builder.h"
#include "file_conversion.h"
#include "temp_dir.h"

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;
using testing::kDemoComma;

std::string DemoBytes() {
    const std::vector<std::byte> bytes = testing::BuildDsf(testing::DemoMomentData(), "DEMO");
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

struct StandardInputCase {
    std::string name;
    std::string stream;
    // "DEMO" and "OUT" stand for demo.dsf and out.txt in a scratch folder, "DASH" for a file
    // named "-" there.
    std::vector<std::string> arguments;
    int status;
    std::string out;
    std::string error;  // the first line on standard error begins with it
    std::string written = "";
    std::size_t unread = 0;  // of the stream's bytes, how many stay unread
    std::optional<std::string> refusal = std::nullopt;
    bool stream_is_demo_file = false;  // the stream's path names demo.dsf
};

class CliStandardInputTest : public ::testing::TestWithParam<StandardInputCase> {};

TEST_P(CliStandardInputTest, ReadsTheStreamOrSaysWhyNot) {
    const StandardInputCase& c = GetParam();
    testing::TempDir dir;
    const fs::path demo = dir.Path() / "demo.dsf";
    const fs::path output = dir.Path() / "out.txt";
    testing::WriteFileText(demo, DemoBytes());
    testing::WriteFileText(dir.Path() / "-", DemoBytes());
    std::vector<std::string> arguments{"--list-separator", ",", "--decimal-separator", "."};
    for (const std::string& argument : c.arguments) {
        arguments.push_back(argument == "DEMO"   ? demo.string()
                            : argument == "OUT"  ? output.string()
                            : argument == "DASH" ? (dir.Path() / "-").string()
                                                 : argument);
    }
    std::istringstream stream(c.stream);
    std::ostringstream out;
    std::ostringstream err;
    const cli::StandardInput in{stream, c.refusal, c.stream_is_demo_file ? demo : fs::path()};
    EXPECT_EQ(cli::Run(arguments, {",", "."}, in, out, err), c.status) << err.str();

    std::string expected_out = c.out;
    if (const auto at = expected_out.find("DEMO"); at != std::string::npos) {
        expected_out.replace(at, 4, demo.string());
    }
    EXPECT_EQ(out.str(), expected_out);
    EXPECT_EQ(err.str().substr(0, c.error.size()), c.error) << err.str();
    EXPECT_EQ(fs::exists(output) ? testing::ReadFileText(output) : "", c.written);
    EXPECT_EQ(testing::ReadFileText(demo), DemoBytes());
    stream.clear();
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stream), {}).size(), c.unread);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CliStandardInputTest, ::testing::Values(
    StandardInputCase{"ToStandardOutput", DemoBytes() + "MORE", {"-", "-o", "-"}, 0, kDemoComma,
                      "", "", 4},
    StandardInputCase{"Checked", DemoBytes(), {"--check", "-", "DEMO"}, 0,
                      "-: no findings\nDEMO: no findings\n", ""},
    StandardInputCase{"Refused", DemoBytes(), {"-", "-o", "OUT"}, 1, "",
                      "dsf2vemo-cli: error: cannot read '-': it is a terminal\n", "", 128,
                      "it is a terminal"},
    StandardInputCase{"RefusedForACheckToo", DemoBytes(), {"--check", "-"}, 1, "",
                      "dsf2vemo-cli: error: cannot read '-': it is a device\n", "", 128,
                      "it is a device"},
    // A file named "-" is named by its path, which reads the file.
    StandardInputCase{"FileNamedDash", "", {"DASH", "-o", "-"}, 0, kDemoComma, "", "", 0,
                      "a terminal"},
    StandardInputCase{"WithoutOutput", DemoBytes(), {"-"}, 2, "",
                      "dsf2vemo-cli: error: reading standard input (-) needs -o", "", 128},
    StandardInputCase{"Twice", DemoBytes(), {"--check", "-", "-"}, 2, "",
                      "dsf2vemo-cli: error: standard input (-) can be read once, but it was "
                      "given 2 times", "", 128},
    StandardInputCase{"OutputIsTheFileItReads", DemoBytes(), {"-", "-o", "DEMO"}, 1, "",
                      "dsf2vemo-cli: error: cannot write '", "", 0, std::nullopt, true},
    StandardInputCase{"OutputBesideTheFileItReads", DemoBytes(), {"-", "-o", "OUT"}, 0, "", "",
                      kDemoComma, 0, std::nullopt, true}),
    testing::CaseName());
// clang-format on

TEST(CliStandardInputTest, WithoutAStreamDashIsRefused) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::Run({"-", "-o", "-"}, {",", "."}, out, err), 1);
    EXPECT_EQ(err.str(),
              "dsf2vemo-cli: error: cannot read '-': no standard input is given to read from\n");
    EXPECT_EQ(out.str(), "");
}

// A stream has no name to put an output beside; only the command line's usage check keeps this
// from the user, so the conversion itself refuses too.
TEST(FileConversionStreamTest, NeedsAnOutput) {
    std::istringstream stream(DemoBytes());
    FileConversion conversion(stream, {}, "-");
    NullPane pane;
    conversion.Read(pane);
    try {
        conversion.Write(std::nullopt, std::nullopt, {",", "."});
        FAIL() << "no error";
    } catch (const StepFailure& failure) {
        EXPECT_EQ(failure.Step(), "cannot write the output of '-'");
        EXPECT_EQ(failure.Reason(),
                  "it is read from a stream, which has no file name to name the output after");
    }
}

}  // namespace
}  // namespace dsf2vemo
