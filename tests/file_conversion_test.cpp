// The steps of one conversion as the packages take them: the kind of every failure survives the
// step's words, and a host process keeps its own interrupt handlers.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "dsf_builder.h"
#include "file_conversion.h"
#include "interrupt_cleanup.h"
#include "temp_dir.h"

namespace dsf2vemo {
namespace {

struct KindCase {
    const char* name;
    std::int32_t variable_count;  // below 0: no input at all
    const char* output;           // under the folder; "" is the input itself
    ErrorKind kind;

    friend void PrintTo(const KindCase& row, std::ostream* out) { *out << row.name; }
};

// Reads and writes as the row says; returns the failure.
StepFailure Fail(const KindCase& row, const std::filesystem::path& folder) {
    MomentData data = testing::DemoMomentData();
    data.VariableCount = row.variable_count;
    if (row.variable_count >= 0) {
        testing::WriteFileBytes(folder / "in.dsf", testing::BuildDsf(data, "H"));
    }
    FileConversion conversion(folder / "in.dsf", "in.dsf");
    NullPane pane;
    try {
        conversion.Read(pane);
        const std::string output = row.output;
        conversion.Write(folder / (output.empty() ? "in.dsf" : output), std::nullopt, {});
    } catch (const StepFailure& failure) {
        return failure;
    }
    throw std::logic_error("no failure");
}

class StepFailureKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(StepFailureKindTest, CarriesTheKindOfTheError) {
    const testing::TempDir folder;
    const StepFailure failure = Fail(GetParam(), folder.Path());
    EXPECT_EQ(failure.Kind(), GetParam().kind) << failure.what();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StepFailureKindTest,
    ::testing::Values(KindCase{"Missing", -1, "out.txt", ErrorKind::CannotOpen},
                      KindCase{"Short", 3, "out.txt", ErrorKind::TooShort},
                      KindCase{"OutputIsInput", 2, "", ErrorKind::Refused},
                      KindCase{"NoSuchFolder", 2, "none/out.txt", ErrorKind::CannotWrite}),
    [](const ::testing::TestParamInfo<KindCase>& row) { return std::string(row.param.name); });

#ifndef _WIN32
// Exits 0 when, after a conversion has written a file, SIGINT still has its default action just
// when interrupts were left to the host. In a process of its own: the handler is put in place
// once per process.
void ConvertAndCheckSigint(bool left_to_host) {
    std::signal(SIGINT, SIG_DFL);
    if (left_to_host) {
        LeaveInterruptsToHost();
    }
    const testing::TempDir folder;
    testing::WriteFileBytes(folder.Path() / "in.dsf", testing::BuildDsf(testing::DemoMomentData()));
    FileConversion conversion(folder.Path() / "in.dsf", "in.dsf");
    NullPane pane;
    conversion.Read(pane);
    conversion.Write(folder.Path() / "out.txt", std::nullopt, {});
    struct sigaction action {};
    sigaction(SIGINT, nullptr, &action);
    std::exit((action.sa_handler == SIG_DFL) == left_to_host ? 0 : 1);
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
