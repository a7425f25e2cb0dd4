// Replays every input the fuzzers ever failed on, and the seed corpus they start from, through
// the same checks the fuzz targets make, so the native and sanitizer builds guard them too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "case_name.h"
#include "dsf_builder.h"
#include "fuzz_input.h"

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;

struct FuzzInput {
    std::string name;
    fs::path path;

    friend void PrintTo(const FuzzInput& input, std::ostream* out) { *out << input.path; }
};

std::vector<FuzzInput> InputsIn(const fs::path& folder, const std::string& prefix) {
    std::vector<FuzzInput> inputs;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::string name = prefix + entry.path().filename().string();
        std::replace_if(
            name.begin(), name.end(),
            [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        inputs.push_back({name, entry.path()});
    }
    std::sort(inputs.begin(), inputs.end(),
              [](const FuzzInput& a, const FuzzInput& b) { return a.name < b.name; });
    return inputs;
}

std::vector<FuzzInput> AllInputs() {
    std::vector<FuzzInput> inputs = InputsIn(DSF2VEMO_FUZZ_REGRESSIONS, "regression_");
    const std::vector<FuzzInput> seeds = InputsIn(DSF2VEMO_FUZZ_SEEDS, "seed_");
    inputs.insert(inputs.end(), seeds.begin(), seeds.end());
    return inputs;
}

class FuzzRegressionTest : public ::testing::TestWithParam<FuzzInput> {};

TEST_P(FuzzRegressionTest, ReaderAndConversionHoldUp) {
    const std::string text = testing::ReadFileText(GetParam().path);
    const auto bytes = std::as_bytes(std::span(text.data(), text.size()));
    EXPECT_EQ(testing::CheckReader(bytes), "");
    EXPECT_EQ(testing::CheckEcho(bytes), "");
    EXPECT_EQ(testing::CheckTextData(bytes), "");
    EXPECT_EQ(testing::CheckJson(bytes), "");
    EXPECT_EQ(testing::CheckMplus(bytes), "");
}

INSTANTIATE_TEST_SUITE_P(Inputs, FuzzRegressionTest, ::testing::ValuesIn(AllInputs()),
                         testing::CaseName());

TEST(FuzzRegressionFolders, HoldInputs) {
    // An empty or missing folder would make the replay above pass without replaying anything.
    EXPECT_FALSE(InputsIn(DSF2VEMO_FUZZ_REGRESSIONS, "").empty());
    EXPECT_FALSE(InputsIn(DSF2VEMO_FUZZ_SEEDS, "").empty());
}

}  // namespace
}  // namespace dsf2vemo
