// The steps of one conversion as the packages take them: the kind of every failure survives the
// step's words, and a host process keeps its own interrupt handlers.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#endif

#include "dsf_builder.h"
#include "file_conversion.h"
#include "interrupt_cleanup.h"
#include "temp_dir.h"

namespace dsf2vemo {
namespace {

using testing::BuildDsf;
using testing::DemoMomentData;
using testing::TempDir;
using testing::WriteFileBytes;

std::vector<std::byte> WithVariableCount(std::int32_t count) {
    MomentData data = DemoMomentData();
    data.VariableCount = count;
    return BuildDsf(data, "H");
}

struct KindCase {
    const char* name;
    std::optional<std::vector<std::byte>> input;  // none: the input doesn't exist
    const char* output;                           // under the folder; "" is the input itself
    const char* step;
    std::optional<ErrorKind> kind;

    friend void PrintTo(const KindCase& row, std::ostream* out) { *out << row.name; }
};

class StepFailureKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(StepFailureKindTest, CarriesTheKindOfTheError) {
    const KindCase& row = GetParam();
    const TempDir folder;
    const std::filesystem::path input = folder.Path() / "in.dsf";
    if (row.input) {
        WriteFileBytes(input, *row.input);
    }
    FileConversion conversion(input, "in.dsf");
    NullPane pane;
    try {
        conversion.Read(pane);
        const std::string output = row.output;
        conversion.Write(output.empty() ? input : folder.Path() / output, std::nullopt, {});
        ADD_FAILURE() << "no failure";
    } catch (const StepFailure& failure) {
        EXPECT_EQ(failure.Step().substr(0, std::string(row.step).size()), row.step);
        EXPECT_EQ(failure.Kind(), row.kind);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StepFailureKindTest,
    ::testing::Values(
        KindCase{"Missing", std::nullopt, "out.txt", "cannot read 'in.dsf'", ErrorKind::CannotOpen},
        KindCase{"NoVariables", WithVariableCount(0), "out.txt", "cannot read",
                 ErrorKind::BadValue},
        KindCase{"Short", WithVariableCount(3), "out.txt", "cannot read", ErrorKind::TooShort},
        KindCase{"TooManyVariables", WithVariableCount(46341), "out.txt", "cannot read",
                 ErrorKind::Unsupported},
        KindCase{"OutputIsInput", WithVariableCount(2), "", "cannot write", ErrorKind::Refused},
        KindCase{"NoSuchFolder", WithVariableCount(2), "none/out.txt", "cannot write",
                 ErrorKind::CannotWrite}),
    [](const ::testing::TestParamInfo<KindCase>& row) { return std::string(row.param.name); });

#ifndef _WIN32
bool HandlesSigintByDefault() {
    struct sigaction action {};
    sigaction(SIGINT, nullptr, &action);
    return (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_DFL;
}

// Exits 0 when, after a conversion has written a file, SIGINT still has its default action just
// when interrupts were left to the host. In a process of its own: the handler is put in place
// once per process.
void ConvertAndCheckSigint(bool left_to_host) {
    std::signal(SIGINT, SIG_DFL);
    if (left_to_host) {
        LeaveInterruptsToHost();
    }
    const TempDir folder;
    WriteFileBytes(folder.Path() / "in.dsf", BuildDsf(DemoMomentData(), "H"));
    FileConversion conversion(folder.Path() / "in.dsf", "in.dsf");
    NullPane pane;
    conversion.Read(pane);
    conversion.Write(folder.Path() / "out.txt", std::nullopt, {});
    std::exit(HandlesSigintByDefault() == left_to_host ? 0 : 1);
}

TEST(InterruptsTest, AHostKeepsItsHandlersAndAProgramGetsTheCleanup) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const bool left_to_host : {false, true}) {
        EXPECT_EXIT(ConvertAndCheckSigint(left_to_host), ::testing::ExitedWithCode(0), "")
            << "left to host: " << left_to_host;
    }
}
#endif

}  // namespace
}  // namespace dsf2vemo
