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
#include "message_text.h"
#include "positive_definite.h"
#include "temp_dir.h"
#include "text_data_writer.h"

namespace dsf2vemo {
namespace {

using ::testing::HasSubstr;

// The sample covariances (divisor n - 1) and means of 60 cases of six correlated variables on
// scales 1 to 6, or their correlations: real data with nothing wrong.
MomentData FromRandomData(bool correlations) {
    constexpr std::size_t p = 6, n = 60;
    std::mt19937 random(20240611);
    std::normal_distribution<double> normal;
    std::array<std::array<double, p>, n> cases{};
    MomentData data{n, p, {"X1", "X2", "X3", "X4", "X5", "X6"}, {}, std::vector<double>(p)};
    for (auto& row : cases) {
        double previous = normal(random);
        for (std::size_t k = 0; k < p; ++k) {
            const double z = normal(random);
            row[k] = (1.0 + static_cast<double>(k)) * (z + 0.5 * previous) + 10;
            previous = z;
            data.Means[k] += row[k] / n;
        }
    }
    const auto covariance = [&](std::size_t a, std::size_t b) {
        double sum = 0;
        for (const auto& row : cases) {
            sum += (row[a] - data.Means[a]) * (row[b] - data.Means[b]) / (n - 1);
        }
        return sum;
    };
    for (std::size_t i = 0; i < p; ++i) {
        for (std::size_t j = 0; j <= i; ++j) {
            const double scale = correlations ? std::sqrt(covariance(i, i) * covariance(j, j)) : 1;
            data.Covariances.push_back(i == j && correlations ? 1 : covariance(i, j) / scale);
        }
    }
    return data;
}

// Variables V1 … Vp with these covariances, the second changed as given.
MomentData Moments(std::vector<double> covariances, std::int32_t cases = 100, double mean_2 = 2,
                   std::string name_2 = "V2") {
    MomentData data = testing::SyntheticMomentData(
        static_cast<std::int32_t>(std::sqrt(2.0 * static_cast<double>(covariances.size()))));
    data.CaseCount = cases;
    data.Covariances = std::move(covariances);
    data.Means[1] = mean_2;
    data.VariableNames[1] = std::move(name_2);
    return data;
}

const std::vector<double> kUnrelated = {1, 0, 2, 0, 0, 3};
// V2, V3 and V4 with variances 2, 3 and 4 and correlations .9, -.9 and .9: each pair possible,
// all three together not; V1, V5 and V6 unrelated to them.
const double kR23 = .9 * std::sqrt(6.0), kR24 = -.9 * std::sqrt(8.0), kR34 = .9 * std::sqrt(12.0);
const std::vector<double> kTriangle = {1, 0, 2, 0, kR23, 3, 0, kR24, kR34, 4, 0,
                                       0, 0, 0, 1, 0,    0, 0, 0,    0,    1};

// Variances 2 and a correlation of almost 1 between the first and the last of p otherwise
// unrelated variables: the factorisation goes through with one pivot too small.
MomentData LastRepeatsFirst(std::int32_t p) {
    MomentData data = testing::SyntheticMomentData(p);
    data.CaseCount = 10 * p;
    std::fill(data.Covariances.begin(), data.Covariances.end(), 0.0);
    for (std::int32_t i = 0; i < p; ++i) {
        data.Covariances[static_cast<std::size_t>(i * (i + 3) / 2)] = 2;
    }
    data.Covariances[static_cast<std::size_t>(p * (p - 1) / 2)] = 2 - 1e-13;
    return data;
}

struct DiagnosisCase {
    std::string name;
    MomentData data;
    std::string codes;
    std::string mentioned;  // in the sentences, a line each, numbers with a decimal comma
    std::string header = "";
};

class DiagnosisTest : public ::testing::TestWithParam<DiagnosisCase> {};

TEST_P(DiagnosisTest, FindsWhatIsWrongAndConvertsAsAlways) {
    const DiagnosisCase& c = GetParam();
    testing::TempDir dir;
    const std::string input = (dir.Path() / "in.dsf").string();
    const std::vector<Finding> findings = Diagnose({c.header, c.data}, {","});
    std::string codes, sentences, warnings;
    for (const Finding& finding : findings) {
        codes += (codes.empty() ? "" : " ") + finding.Code;
        sentences += finding.Sentence + "\n";
        warnings +=
            "dsf2vemo-cli: warning: " + input + ": " + MessageTextFromFile(finding.Sentence) + "\n";
    }
    EXPECT_EQ(codes, c.codes);
    EXPECT_THAT(sentences, HasSubstr(c.mentioned));
    // The window's pane: after the echo an empty line, "Warnings" and a line per finding, the
    // caret left where it was; with no findings the echo alone.
    TextPane pane;
    pane.SetResultsText("echo");
    pane.SetSelStart(2);
    AppendWarnings(pane, findings);
    std::string block;
    for (const Finding& finding : findings) {
        block += (block.empty() ? "\r\n\r\nWarnings" : "") + std::string("\r\n") + finding.Sentence;
    }
    EXPECT_EQ(pane.Text(), "echo" + block);
    EXPECT_EQ(pane.SelStart(), 2u);
    // The command line warns once for each finding and writes the same bytes as without any.
    testing::WriteFileBytes(input, testing::BuildDsf(c.data, c.header));
    std::ostringstream out, err;
    EXPECT_EQ(cli::Run({input}, {";", ","}, out, err), cli::kExitSuccess);
    EXPECT_EQ(testing::ReadFileText(dir.Path() / "in.txt"), FormatTextData(c.data, {";", ","}));
    EXPECT_EQ(err.str(), warnings);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiagnosisTest,
    ::testing::Values(
        DiagnosisCase{"CleanRandomData", FromRandomData(false), "", "", "RANDOM"},
        DiagnosisCase{"CorrelationMatrix", FromRandomData(true), "correlation-matrix", ""},
        DiagnosisCase{"NameWithControlBytes", Moments(kUnrelated, 100, 2, "\xE9t\x01\tZ"),
                      "name-not-text", "the first is that of variable 2, \"\xE9t\\x01\\x09Z\";"},
        DiagnosisCase{"HeaderWithNulBeforeText", Moments(kUnrelated), "header-not-text",
                      "byte 4 of the header is 0x00", std::string("PRE\0LIS\0\0", 9)},
        DiagnosisCase{"HeaderPaddedWithNuls", Moments(kUnrelated), "", "",
                      "PADDED" + std::string(58, '\0')},
        DiagnosisCase{"NotPositiveDefiniteWithinTheBound", Moments(kTriangle),
                      "not-positive-definite", "it first fails at variable 4, \"V4\","},
        DiagnosisCase{"NegativeVariance", Moments({1, 0, -2, 0, 0, 3}), "variance-not-positive",
                      "1 variance is zero or negative: \"V2\" (-2)\n"},
        DiagnosisCase{"ConstantVariable", Moments({1, 0, 0, 0, 0, 3}), "variance-not-positive",
                      "1 variance is zero or negative: \"V2\" (0)\n"},
        DiagnosisCase{"InfiniteCovariances", Moments({1, HUGE_VAL, 2, 0, -HUGE_VAL, 3}),
                      "not-finite",
                      "2 values are not a finite number; the first is the "
                      "covariance of \"V2\" and \"V1\" (Inf)\n"},
        DiagnosisCase{"TooFewCases", Moments(kUnrelated, 3), "too-few-cases",
                      "3 cases for 3 variables:"},
        DiagnosisCase{"SeveralAtOnceWithNoCasesAndANaNMean",
                      Moments({1, 0, 1, 0, 0, 1}, -5, std::nan("")),
                      "too-few-cases not-finite correlation-matrix",
                      "the number of cases is -5, but moments need at least one case\n1 value is "
                      "not a finite number; the first is the mean of \"V2\" (NaN)\nevery variance "
                      "is exactly 1: looks like a correlation matrix"},
        DiagnosisCase{"CovarianceBeyondTheBound", Moments({1, 0.5, 4, 0.1, 5, 4}),
                      "covariance-out-of-bounds",
                      "the worst is that of \"V3\" and \"V2\", a correlation of 1,25\n"},
        // Just past the tolerance of 1e-8 is a finding; just within, the definiteness test
        // finds the same pair.
        DiagnosisCase{"CorrelationJustPastOne", Moments({1, 2 * (1 + 1e-7), 4, 0, 0, 3}),
                      "covariance-out-of-bounds", "a correlation of 1\n"},
        DiagnosisCase{"CorrelationOneWithinTolerance", Moments({1, 2 * (1 + 1e-9), 4, 0, 0, 3}),
                      "not-positive-definite", "it first fails at variable 2, \"V2\","},
        DiagnosisCase{"VariancesExactly1000Apart", Moments({0.5, 0, 2, 0, 0, 500}), "", ""},
        DiagnosisCase{"VariancesFarApart", Moments({0.5, 0, 2, 0, 0, 501}), "variance-ratio",
                      "the variances differ by a factor of 1002: the smallest is that of \"V1\" "
                      "(0,5), the largest that of \"V3\" (501)\n"},
        // Tested up to 500 variables; beyond, only when asked.
        DiagnosisCase{"NotPositiveDefiniteAt500Variables", LastRepeatsFirst(500),
                      "not-positive-definite", "it first fails at variable 500, \"V500\","},
        DiagnosisCase{"At501VariablesNotTested", LastRepeatsFirst(501), "", ""}),
    testing::CaseName());

// Whatever ran before it, the test never passes a variance that is not positive or a NaN.
TEST(DiagnosisTest, PositiveDefinitenessFailsWhereAVarianceIsNotPositiveOrNaN) {
    const double nan = std::nan("");
    const struct {
        std::vector<double> covariances;
        std::size_t fails_at;
    } cases[] = {{{1, 0, 0, 0, 0, 3}, 2},
                 {{1, 0, -2, 0, 0, 3}, 2},
                 {{1, 0, 2, 0, 0, nan}, 3},
                 {{1, 0, 2, nan, 0, 3}, 3},
                 {kUnrelated, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(FirstVariableNotPositiveDefinite(c.covariances, 3), c.fails_at)
            << ::testing::PrintToString(c.covariances);
    }
}

TEST(DiagnosisTest, PositiveDefinitenessBeyond500VariablesWhenAsked) {
    const std::vector<Finding> findings = Diagnose({"", LastRepeatsFirst(501)}, {".", true});
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_THAT(findings[0].Sentence, HasSubstr("it first fails at variable 501, \"V501\","));
}

}  // namespace
}  // namespace dsf2vemo
