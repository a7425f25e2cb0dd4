// The catalogue of bad and borderline inputs, each run through the command line converter twice:
// in-process through cli::Run, and as the real dsf2vemo-cli in a child process with its CPU time
// (and, outside AddressSanitizer builds, its address space) limited. Each row fixes the exit
// status, the message, and that nothing but the expected output appears in its folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "case_name.h"
#include "cli_app.h"
#include "dsf_builder.h"
#include "process_runner.h"
#include "temp_dir.h"
#include "text_data_check.h"

#if defined(__SANITIZE_ADDRESS__)
#define DSF2VEMO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DSF2VEMO_ASAN 1
#endif
#endif

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;
using testing::BuildDsf;
using testing::ByteWriter;
using testing::DemoMomentData;
using ::testing::HasSubstr;
using ::testing::StartsWith;

#ifdef DSF2VEMO_ASAN
// AddressSanitizer reserves terabytes of address space, so only the CPU time is limited there.
constexpr std::optional<unsigned long> kAddressSpaceLimit;
#else
constexpr std::optional<unsigned long> kAddressSpaceLimit = 64ul << 20;
#endif
constexpr unsigned long kCpuSecondsLimit = 2;

enum class Input { File, Folder, Unreadable };
enum class Output { Fresh, InMissingFolder, Folder, ReadOnlyFile, SameAsInput };

struct CatalogueRow {
    std::string name;
    std::vector<std::byte> bytes;  // the input file's content
    Input input = Input::File;
    Output output = Output::Fresh;
    int exit_status = 0;
    // For a failure: "read" or "write", and part of the reason the message must give.
    std::string stage;
    std::string reason;
    // For a conversion: what the output must hold.
    std::optional<MomentData> converted;
    // Replaces the usual arguments when set; "%in" and "%out" stand for the paths.
    std::vector<std::string> arguments;

    friend void PrintTo(const CatalogueRow& row, std::ostream* out) { *out << row.name; }
};

std::vector<std::byte> Bytes(std::size_t count) {
    return std::vector<std::byte>(count, std::byte{0x41});
}

// A file with two counts and 40 doubles after them, whatever the variable count says.
std::vector<std::byte> WithVariableCount(std::int32_t count) {
    ByteWriter writer;
    writer.Text("COUNTS", 64).Int32(100).Int32(count);
    for (int i = 0; i < 40; ++i) {
        writer.Double(i);
    }
    return writer.Bytes();
}

// The 3-variable demo-like file (168 bytes) cut to `size` bytes.
std::vector<std::byte> Cut(std::size_t size) {
    MomentData data{10, 3, {"A", "B", "C"}, {1, 2, 3, 4, 5, 6}, {7, 8, 9}};
    std::vector<std::byte> bytes = BuildDsf(data, "CUT");
    bytes.resize(size);
    return bytes;
}

MomentData WithNames(std::vector<std::string> names) {
    const auto p = static_cast<std::int32_t>(names.size());
    MomentData data{25, p, std::move(names), {}, {}};
    for (std::int32_t i = 0; i < p * (p + 1) / 2; ++i) {
        data.Covariances.push_back(0.25 * (i + 1));
    }
    for (std::int32_t i = 0; i < p; ++i) {
        data.Means.push_back(-1.5 * i);
    }
    return data;
}

CatalogueRow Row(std::string name, std::vector<std::byte> bytes, int exit_status, std::string stage,
                 std::string reason) {
    CatalogueRow row;
    row.name = std::move(name);
    row.bytes = std::move(bytes);
    row.exit_status = exit_status;
    row.stage = std::move(stage);
    row.reason = std::move(reason);
    return row;
}

CatalogueRow Rejected(std::string name, std::vector<std::byte> bytes, std::string reason) {
    return Row(std::move(name), std::move(bytes), 1, "read", std::move(reason));
}

CatalogueRow Refused(std::string name, const MomentData& data, std::string reason) {
    return Row(std::move(name), BuildDsf(data), 1, "write", std::move(reason));
}

CatalogueRow Converted(std::string name, const MomentData& data) {
    CatalogueRow row = Row(std::move(name), BuildDsf(data), 0, "", "");
    row.converted = data;
    return row;
}

CatalogueRow BadTarget(std::string name, Input input, Output output, std::string stage,
                       std::string reason) {
    CatalogueRow row =
        Row(std::move(name), BuildDsf(DemoMomentData()), 1, std::move(stage), std::move(reason));
    row.input = input;
    row.output = output;
    return row;
}

CatalogueRow Usage(std::string name, std::vector<std::string> arguments, std::string reason) {
    CatalogueRow row = Row(std::move(name), BuildDsf(DemoMomentData()), 2, "", std::move(reason));
    row.arguments = std::move(arguments);
    return row;
}

std::vector<CatalogueRow> Catalogue() {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    return {
        Rejected("EmptyFile", {},
                 "the file is 0 bytes long, but a data system file needs at least 72"),
        Rejected("OneByte", Bytes(1), "the file is 1 byte long"),
        Rejected("HeaderOnly", Bytes(64), "the file is 64 bytes long"),
        Rejected("TruncatedInTheCounts", Cut(70), "the file is 70 bytes long"),
        Rejected("TruncatedInTheNames", Cut(82),
                 "the file is 82 bytes long, but a data system file with 3 variables needs 168 "
                 "bytes"),
        Rejected("TruncatedInTheTriangle", Cut(116),
                 "is 116 bytes long, but a data system file "
                 "with 3 variables needs 168 bytes"),
        Rejected("TruncatedInTheMeans", Cut(167),
                 "is 167 bytes long, but a data system file with "
                 "3 variables needs 168 bytes"),
        Rejected("ZeroVariables", WithVariableCount(0), "the file declares 0 variables"),
        Rejected("MinusOneVariables", WithVariableCount(-1), "the file declares -1 variables"),
        Rejected("Int32MinVariables", WithVariableCount(kMin),
                 "the file declares -2147483648 variables"),
        Rejected("MostVariablesButTooShort", WithVariableCount(46340),
                 "with 46340 variables needs 8590509272 bytes"),
        Rejected("OneVariableTooMany", WithVariableCount(46341),
                 "the file declares 46341 variables, but at most 46340 are supported"),
        Rejected("Int32MaxVariables", WithVariableCount(kMax),
                 "the file declares 2147483647 variables, but at most 46340 are supported"),
        Converted("NegativeCaseCount", {-5, 2, {"A", "B"}, {1, 0.5, 2}, {3, 4}}),
        Converted("NonFiniteValues", {9, 2, {"A", "B"}, {kNaN, kInf, -kInf}, {-kInf, kNaN}}),
        Converted("NameWithNul", WithNames({std::string("A\0B", 3), "C"})),
        Converted("NamesWithHighBitBytes", WithNames({"\xC4rger", "\xFF\x80"})),
        Refused("NameWithListSeparator", WithNames({"A", "B,C"}),
                "the name of variable 2, \"B,C\", contains the list separator"),
        Refused("NameWithCarriageReturn", WithNames({"A\rB"}),
                "the name of variable 1 contains a line end"),
        Refused("NameWithLineFeed", WithNames({"A", "B\n"}),
                "the name of variable 2 contains a line end"),
        BadTarget("FolderAsInput", Input::Folder, Output::Fresh, "read",
                  "it is a folder, not a file"),
        BadTarget("UnreadableInput", Input::Unreadable, Output::Fresh, "read", "Permission denied"),
        BadTarget("OutputInMissingFolder", Input::File, Output::InMissingFolder, "write",
                  "does not exist"),
        BadTarget("OutputIsAFolder", Input::File, Output::Folder, "write",
                  "it is a folder, not a file"),
        BadTarget("ReadOnlyOutput", Input::File, Output::ReadOnlyFile, "write",
                  "the file is read-only"),
        BadTarget("InputAsOutput", Input::File, Output::SameAsInput, "write",
                  "it is the input file itself"),
        Usage("NoInput", {"-o", "%out"}, "INPUT is required"),
        Usage("OutputWithTwoInputs", {"-o", "%out", "%in", "%in"},
              "--output takes one input only, but 2 were given"),
    };
}

// Every file and folder under a folder: its permissions and, for a file, its content.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const fs::file_status status = entry.symlink_status();
        std::string description =
            "perms " + std::to_string(static_cast<unsigned>(status.permissions())) + " ";
        if (status.type() == fs::file_type::directory) {
            description += "folder";
        } else if (std::ifstream file(entry.path(), std::ios::binary); file) {
            description += testing::ReadFileText(entry.path());
        } else {
            description += "unreadable, " + std::to_string(entry.file_size()) + " bytes";
        }
        entries[fs::relative(entry.path(), folder).string()] = description;
    }
    return entries;
}

bool CanOpen(const fs::path& path) {
    return static_cast<bool>(std::ifstream(path, std::ios::binary));
}

class BadInputCatalogue : public ::testing::TestWithParam<CatalogueRow> {
  protected:
    void SetUp() override {
        const CatalogueRow& row = GetParam();
        const fs::path& dir = dir_.Path();
        input_ = dir / "input.dsf";
        output_ = dir / "out.txt";
        switch (row.input) {
            case Input::Folder:
                fs::create_directory(input_);
                break;
            case Input::Unreadable:
                testing::WriteFileBytes(input_, row.bytes);
                fs::permissions(input_, fs::perms::none);
                break;
            case Input::File:
                testing::WriteFileBytes(input_, row.bytes);
                break;
        }
        switch (row.output) {
            case Output::Fresh:
                break;
            case Output::InMissingFolder:
                output_ = dir / "missing" / "out.txt";
                break;
            case Output::Folder:
                fs::create_directory(output_);
                break;
            case Output::ReadOnlyFile:
                testing::WriteFileText(output_, "an older file\r\n");
                fs::permissions(output_, fs::perms::owner_read | fs::perms::group_read |
                                             fs::perms::others_read);
                break;
            case Output::SameAsInput:
                output_ = input_;
                break;
        }
        before_ = Snapshot(dir);
    }

    std::vector<std::string> Arguments() const {
        std::vector<std::string> arguments = GetParam().arguments;
        if (arguments.empty()) {
            arguments = {"--list-separator", ",", "--decimal-separator", ".", "-o", "%out", "%in"};
        }
        for (std::string& argument : arguments) {
            if (argument == "%in") {
                argument = input_.string();
            } else if (argument == "%out") {
                argument = output_.string();
            }
        }
        return arguments;
    }

    // Checks the exit status, the message and the folder's content after a run.
    void CheckOutcome(int exit_status, const std::string& out, const std::string& err) {
        const CatalogueRow& row = GetParam();
        EXPECT_EQ(exit_status, row.exit_status) << err;
        if (row.exit_status == 0) {
            // Nothing but warnings about what was read, a line each.
            std::istringstream lines(err);
            for (std::string line; std::getline(lines, line);) {
                EXPECT_THAT(line, StartsWith("dsf2vemo-cli: warning: " + input_.string() + ": "));
            }
        } else if (row.exit_status == 1) {
            const std::string path = row.stage == "read" ? input_.string() : output_.string();
            EXPECT_THAT(
                err, StartsWith("dsf2vemo-cli: error: cannot " + row.stage + " '" + path + "': "));
            EXPECT_THAT(err, HasSubstr(row.reason));
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        } else {
            EXPECT_THAT(err, HasSubstr(row.reason));
        }
        EXPECT_EQ(out, "");

        std::map<std::string, std::string> after = Snapshot(dir_.Path());
        if (row.converted) {
            const auto written = after.find("out.txt");
            ASSERT_NE(written, after.end()) << "no output was written";
            const std::string text = testing::ReadFileText(output_);
            EXPECT_EQ(testing::CompareTextData(*row.converted, text, {",", "."}), "") << text;
            after.erase(written);
        }
        EXPECT_EQ(after, before_) << "the folder's files changed";
    }

    testing::TempDir dir_;
    fs::path input_;
    fs::path output_;
    std::map<std::string, std::string> before_;
};

TEST_P(BadInputCatalogue, InProcess) {
    if (GetParam().input == Input::Unreadable && CanOpen(input_)) {
        GTEST_SKIP() << "this process can open a file with no permission bits (it runs as root), "
                        "so the row is checked by RealBinary, whose child drops privileges";
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::Run(Arguments(), {",", "."}, out, err);
    CheckOutcome(status, out.str(), err.str());
}

TEST_P(BadInputCatalogue, RealBinary) {
    testing::ChildLimits limits;
    limits.address_space_bytes = kAddressSpaceLimit;
    limits.cpu_seconds = kCpuSecondsLimit;
    limits.drop_privileges = GetParam().input == Input::Unreadable && geteuid() == 0;
    testing::TempDir scratch;
    const testing::ChildResult child =
        testing::RunChild(DSF2VEMO_CLI_PATH, Arguments(), limits, scratch.Path());
    if (child.could_not_start && limits.drop_privileges) {
        GTEST_SKIP() << "the child could not switch to the user nobody to make the file "
                        "unreadable to it";
    }
    ASSERT_FALSE(child.could_not_start) << "the child failed before running dsf2vemo-cli";
    ASSERT_TRUE(child.exited) << "dsf2vemo-cli was ended by signal " << child.signal
                              << " (a limit of " << kCpuSecondsLimit
                              << " s CPU time or the address space limit?)";
    std::cout << "[ resources] " << GetParam().name << ": max RSS " << child.max_rss_kb
              << " KB, CPU " << static_cast<int>(child.cpu_seconds * 1000 + 0.5) << " ms\n";
    RecordProperty("max_rss_kb", static_cast<int>(child.max_rss_kb));
    CheckOutcome(child.exit_status, child.out, child.err);
}

INSTANTIATE_TEST_SUITE_P(Rows, BadInputCatalogue, ::testing::ValuesIn(Catalogue()),
                         testing::CaseName());

// Running out of memory ends only the input it happens to, with one message in words: reading
// (the first input, whose successor is still converted) and writing to standard output.
TEST(OutOfMemoryTest, EndsOnlyThatInput) {
#ifdef DSF2VEMO_ASAN
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit allows";
#endif
    testing::TempDir dir;
    testing::TempDir scratch;
    const std::string big = (dir.Path() / "big.dsf").string();
    const std::string demo = (dir.Path() / "demo.dsf").string();
    testing::WriteFileBytes(demo, BuildDsf(DemoMomentData()));
    const auto run = [&](std::int32_t variables, unsigned long megabytes,
                         std::vector<std::string> arguments) {
        testing::WriteFileBytes(big, BuildDsf(testing::SyntheticMomentData(variables)));
        arguments.insert(arguments.begin(), {"--list-separator", ",", "--decimal-separator", "."});
        testing::ChildLimits limits;
        limits.address_space_bytes = megabytes << 20;
        limits.cpu_seconds = 10;
        const testing::ChildResult child =
            testing::RunChild(DSF2VEMO_CLI_PATH, arguments, limits, scratch.Path());
        EXPECT_TRUE(child.exited) << "ended by signal " << child.signal << ": " << child.err;
        EXPECT_EQ(child.exit_status, 1);
        EXPECT_TRUE(child.out.empty()) << child.out.size() << " bytes on standard output";
        EXPECT_FALSE(fs::exists(dir.Path() / "big.txt"));
        return child.err;
    };
    EXPECT_EQ(run(3000, 64, {big, demo}), "dsf2vemo-cli: error: cannot read '" + big +
                                              "': not enough memory for 3000 variables (72 MB)\n");
    EXPECT_EQ(testing::ReadFileText(dir.Path() / "demo.txt"), testing::kDemoComma);
    EXPECT_EQ(run(2000, 48, {"-o", "-", big}),
              "dsf2vemo-cli: error: cannot write '-': not enough memory\n");
}

}  // namespace
}  // namespace dsf2vemo
