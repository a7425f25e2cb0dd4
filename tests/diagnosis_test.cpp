#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "case_name.h"
#include "cli_app.h"
#include "diagnosis.h"
#include "dsf_builder.h"
#include "temp_dir.h"
#include "text_data_writer.h"
#include "message_text.h"

namespace dsf2vemo {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

// The sample covariances (divisor n - 1) and means of `n` cases of six correlated variables on
// scales 1 to 6, or their correlations.
MomentData FromRandomData(std::int32_t n, bool correlations = false) {
    constexpr std::size_t p = 6;
    std::mt19937 random(20240611);
    std::normal_distribution<double> normal;
    std::vector<std::array<double, p>> cases(static_cast<std::size_t>(n));
    for (auto& row : cases) {
        double previous = normal(random);
        for (std::size_t k = 0; k < p; ++k) {
            const double z = normal(random);
            row[k] = (1.0 + static_cast<double>(k)) * (z + 0.5 * previous) + 10;
            previous = z;
        }
    }
    MomentData data;
    data.CaseCount = n;
    data.VariableCount = p;
    std::array<double, p> mean{};
    for (std::size_t k = 0; k < p; ++k) {
        data.VariableNames.push_back("X" + std::to_string(k + 1));
        for (const auto& row : cases) {
            mean[k] += row[k] / n;
        }
        data.Means.push_back(mean[k]);
    }
    const auto covariance = [&](std::size_t a, std::size_t b) {
        double sum = 0;
        for (const auto& row : cases) {
            sum += (row[a] - mean[a]) * (row[b] - mean[b]);
        }
        return sum / (n - 1);
    };
    for (std::size_t i = 0; i < p; ++i) {
        for (std::size_t j = 0; j <= i; ++j) {
            const double c = covariance(i, j);
            data.Covariances.push_back(!correlations ? c
                                       : i == j
                                           ? 1.0
                                           : c / std::sqrt(covariance(i, i) * covariance(j, j)));
        }
    }
    return data;
}

MomentData Clean() {
    return FromRandomData(60);
}

MomentData ThreeVariables(std::int32_t cases, std::vector<double> covariances,
                          std::vector<double> means = {1, 2, 3}) {
    return {cases, 3, {"A", "B", "C"}, std::move(covariances), std::move(means)};
}

struct DiagnosisCase {
    std::string name;
    MomentData data;
    std::string header;
    std::vector<std::string> codes;
    // Quoted names and other parts the sentences must hold.
    std::vector<std::string> mentioned;
};

class DiagnosisTest : public ::testing::TestWithParam<DiagnosisCase> {};

TEST_P(DiagnosisTest, FindsWhatIsWrongAndConvertsAsAlways) {
    const DiagnosisCase& c = GetParam();
    const std::vector<Finding> findings = Diagnose({c.header, c.data});
    std::vector<std::string> codes;
    std::string sentences;
    for (const Finding& finding : findings) {
        codes.push_back(finding.Code);
        sentences += finding.Sentence + "\n";
    }
    EXPECT_THAT(codes, ElementsAreArray(c.codes));
    for (const std::string& part : c.mentioned) {
        EXPECT_THAT(sentences, HasSubstr(part));
    }

    // The command line writes the same bytes as without any finding and warns once for each.
    testing::TempDir dir;
    testing::WriteFileBytes(dir.Path() / "in.dsf", testing::BuildDsf(c.data, c.header));
    std::ostringstream out;
    std::ostringstream err;
    const std::string input = (dir.Path() / "in.dsf").string();
    EXPECT_EQ(cli::Run({input}, {",", "."}, out, err), cli::kExitSuccess);
    EXPECT_EQ(testing::ReadFileText(dir.Path() / "in.txt"), FormatTextData(c.data, {",", "."}));
    std::string expected_err;
    for (const Finding& finding : findings) {
        expected_err +=
            "dsf2vemo-cli: warning: " + input + ": " + MessageTextFromFile(finding.Sentence) + "\n";
    }
    EXPECT_EQ(err.str(), expected_err);
}

MomentData WithName(MomentData data, std::size_t index, std::string name) {
    data.VariableNames[index] = std::move(name);
    return data;
}

MomentData WithCases(MomentData data, std::int32_t cases) {
    data.CaseCount = cases;
    return data;
}

// Variables B, C and D with variances 2, 3 and 4 and correlations .9, -.9 and .9: each pair
// possible, all three together not; A, E and F unrelated to them.
MomentData ImpossibleTriangle() {
    const double bc = 0.9 * std::sqrt(6.0);
    const double bd = -0.9 * std::sqrt(8.0);
    const double cd = 0.9 * std::sqrt(12.0);
    return {100,
            6,
            {"A", "B", "C", "D", "E", "F"},
            {1, 0, 2, 0, bc, 3, 0, bd, cd, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1},
            {0, 0, 0, 0, 0, 0}};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiagnosisTest,
    ::testing::Values(
        DiagnosisCase{"CleanFromRandomData", Clean(), "RANDOM", {}, {}},
        DiagnosisCase{"DemoFile", testing::DemoMomentData(), "DEMO", {}, {}},
        DiagnosisCase{"CorrelationMatrix",
                      FromRandomData(60, true),
                      "",
                      {"correlation-matrix"},
                      {"looks like a correlation matrix; it will be labelled as covariances"}},
        DiagnosisCase{"NameWithControlBytes",
                      WithName(Clean(), 2, "\xE9t\x01\tZ"),
                      "",
                      {"name-not-text"},
                      {"variable 3, \"\xE9t\\x01\\x09Z\""}},
        DiagnosisCase{"HeaderWithNul",
                      Clean(),
                      std::string("PRELIS\0\0", 8),
                      {"header-not-text"},
                      {"byte 7 of the header is 0x00"}},
        DiagnosisCase{"NotPositiveDefiniteWithinTheBound",
                      ImpossibleTriangle(),
                      "",
                      {"not-positive-definite"},
                      {"variable 4, \"D\""}},
        DiagnosisCase{"LinearCombination",
                      // C = A + B, with A and B uncorrelated.
                      ThreeVariables(100, {1, 0, 2, 1, 2, 3}),
                      "",
                      {"not-positive-definite"},
                      {"variable 3, \"C\""}},
        DiagnosisCase{"NegativeVariance",
                      ThreeVariables(100, {1, 0, -2, 0, 0, 3}),
                      "",
                      {"variance-not-positive"},
                      {"\"B\" (-2)"}},
        DiagnosisCase{"NaNMean",
                      ThreeVariables(100, {1, 0, 2, 0, 0, 3}, {1, std::nan(""), 3}),
                      "",
                      {"not-finite"},
                      {"1 value is", "the mean of \"B\" (NaN)"}},
        DiagnosisCase{"InfiniteCovariances",
                      ThreeVariables(100, {1, HUGE_VAL, 2, 0, -HUGE_VAL, 3}),
                      "",
                      {"not-finite"},
                      {"2 values are", "the covariance of \"B\" and \"A\" (Inf)"}},
        DiagnosisCase{"TooFewCases", WithCases(Clean(), 6), "", {"too-few-cases"}, {"6 cases"}},
        DiagnosisCase{"NoCases",
                      WithCases(Clean(), -5),
                      "",
                      {"too-few-cases"},
                      {"the number of cases is -5"}},
        DiagnosisCase{"CovarianceBeyondTheBound",
                      ThreeVariables(100, {1, 0.5, 4, 0.1, 5, 4}),
                      "",
                      {"covariance-out-of-bounds"},
                      {"\"C\" and \"B\", a correlation of 1.25"}},
        DiagnosisCase{"VariancesFarApart",
                      ThreeVariables(100, {0.5, 0, 2, 0, 0, 501}),
                      "",
                      {"variance-ratio"},
                      {"factor of 1002", "\"A\" (0.5)", "\"C\" (501)"}},
        DiagnosisCase{"SeveralAtOnce",
                      ThreeVariables(3, {1, 0, 1, 0, 0, 1}, {0, std::nan(""), 0}),
                      "",
                      {"too-few-cases", "not-finite", "correlation-matrix"},
                      {}}),
    testing::CaseName());

// Variances 2 and a correlation of almost 1 between the first and the last of p otherwise
// unrelated variables.
MomentData LastRepeatsFirst(std::int32_t p) {
    MomentData data = testing::SyntheticMomentData(p);
    data.CaseCount = 10 * p;
    for (std::int32_t i = 0; i < p; ++i) {
        for (std::int32_t j = 0; j <= i; ++j) {
            const bool repeat = i == p - 1 && j == 0;
            data.Covariances[static_cast<std::size_t>(i * (i + 1) / 2 + j)] = i == j   ? 2.0
                                                                              : repeat ? 2 - 1e-13
                                                                                       : 0.0;
        }
    }
    return data;
}

TEST(DiagnosisLimitTest, PositiveDefinitenessBeyond500VariablesOnlyWhenAsked) {
    const DsfFile at_limit{"", LastRepeatsFirst(kPositiveDefiniteTestLimit)};
    ASSERT_EQ(Diagnose(at_limit).size(), 1u);
    EXPECT_THAT(Diagnose(at_limit)[0].Sentence, HasSubstr("variable 500, \"V500\""));

    const DsfFile beyond{"", LastRepeatsFirst(kPositiveDefiniteTestLimit + 1)};
    EXPECT_TRUE(Diagnose(beyond).empty());
    const std::vector<Finding> asked = Diagnose(beyond, {".", true});
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Code, "not-positive-definite");
    EXPECT_THAT(asked[0].Sentence, HasSubstr("variable 501, \"V501\""));
}

TEST(DiagnosisTest, NumbersTakeTheDecimalSeparator) {
    const std::vector<Finding> findings =
        Diagnose({"", ThreeVariables(100, {0.5, 0, 2, 0, 0, 501})}, {",", false});
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_THAT(findings[0].Sentence, HasSubstr("\"A\" (0,5)"));
}

TEST(AppendWarningsTest, AddsTheBlockAfterTheEchoAndKeepsTheCaret) {
    TextPane pane;
    pane.SetResultsText("echo");
    pane.SetSelStart(1);
    AppendWarnings(pane, {});
    EXPECT_EQ(pane.Text(), "echo");
    const std::vector<Finding> findings{{"a", "first"}, {"b", "second"}};
    AppendWarnings(pane, findings);
    EXPECT_EQ(pane.Text(), "echo\r\n\r\nWarnings\r\nfirst\r\nsecond");
    EXPECT_EQ(pane.SelStart(), 1u);
}

}  // namespace
}  // namespace dsf2vemo
