// The steps of one conversion as the packages take them: the kind of every failure survives the
// step's words, whichever step names it. (A host keeping its interrupt handlers is the Python
// package's test; the command line's cleanup on a signal is the replacement tests'.)
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "dsf_builder.h"
#include "file_conversion.h"
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
                      KindCase{"OutputIsInput", 2, "", ErrorKind::Refused},
                      KindCase{"NoSuchFolder", 2, "none/out.txt", ErrorKind::CannotWrite}),
    [](const ::testing::TestParamInfo<KindCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace dsf2vemo
