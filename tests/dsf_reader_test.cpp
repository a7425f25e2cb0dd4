#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <limits>
#include <string>

#include "case_name.h"
#include "conversion_error.h"
#include "dsf_builder.h"
#include "dsf_reader.h"
#include "temp_dir.h"

namespace dsf2vemo {
namespace {

using testing::BuildDsf;
using testing::ByteWriter;
using testing::DemoMomentData;

using testing::kDemoPane;

TEST(DsfReaderTest, DemoFileGivesTheDocumentedPaneAndMomentData) {
    TextPane pane;
    const MomentData data = ParseDsf(BuildDsf(DemoMomentData(), "DEMO"), pane);
    EXPECT_EQ(pane.Text(), kDemoPane);
    EXPECT_EQ(pane.SelStart(), 1u);
    EXPECT_EQ(data, DemoMomentData());
}

TEST(DsfReaderTest, EchoUsesTheDecimalSeparator) {
    TextPane pane(",");
    ParseDsf(BuildDsf(DemoMomentData(), "DEMO"), pane);
    EXPECT_NE(pane.Text().find(" ,300 2,250\r\n"), std::string::npos);
}

std::vector<std::uint64_t> Bits(const std::vector<double>& values) {
    std::vector<std::uint64_t> bits;
    for (const double value : values) {
        bits.push_back(std::bit_cast<std::uint64_t>(value));
    }
    return bits;
}

// A variation of the demo file and what the pane or the moment data must then show.
struct ReadCase {
    const char* name;
    MomentData data;
    std::string header;
    std::string expected_pane_part;
    std::vector<std::string> expected_names;
};

class DsfReaderCaseTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(DsfReaderCaseTest, EchoesAndStores) {
    const ReadCase& c = GetParam();
    std::vector<std::byte> bytes = BuildDsf(c.data, c.header);
    TextPane pane;
    const MomentData data = ParseDsf(bytes, pane);
    EXPECT_NE(pane.Text().find(c.expected_pane_part), std::string::npos) << pane.Text();
    EXPECT_EQ(data.VariableNames, c.expected_names);
    EXPECT_EQ(data.CaseCount, c.data.CaseCount);
    // Bit for bit, so NaN compares too.
    EXPECT_EQ(Bits(data.Covariances), Bits(c.data.Covariances));
    EXPECT_EQ(Bits(data.Means), Bits(c.data.Means));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DsfReaderCaseTest,
    ::testing::Values(
        ReadCase{"OneVariable",
                 {3, 1, {"ONLY"}, {4.0}, {-1.0}},
                 "H",
                 "\r\n1 variables\r\nONLY\r\n\r\nCovariances\r\n 4.000\r\n\r\nMeans\r\n -1.000",
                 {"ONLY"}},
        ReadCase{"BlankNames",
                 {3, 2, {"", "        "}, {1, 2, 3}, {0, 0}},
                 "H",
                 "2 variables\r\n, \r\n",
                 {"", ""}},
        ReadCase{"InnerSpaceKept", {3, 1, {" AB CD"}, {1}, {2}}, "H", "\r\nAB CD\r\n", {"AB CD"}},
        ReadCase{"NulBeforeTextAndTabStay",
                 {3, 1, {std::string("A\0\tB", 4)}, {1}, {2}},
                 "H",
                 std::string("\r\nA\0\tB\r\n", 7),
                 {std::string("A\0\tB", 4)}},
        // Trailing NULs pad like spaces, in names; the header is echoed as read.
        ReadCase{
            "TrailingNulsArePadding",
            {3,
             3,
             {std::string("X1\0\0\0\0\0\0", 8), std::string(8, '\0'), std::string(" X3\0 \0  ", 8)},
             {1, 0, 2, 0, 0, 3},
             {0, 0, 0}},
            std::string("PADDED") + std::string(58, '\0'),
            std::string("PADDED") + std::string(58, '\0') + "\r\n3 cases",
            {"X1", "", "X3"}},
        ReadCase{"HighBitBytesKept",
                 {3, 1, {"\xC4\xD6\xDC"}, {1}, {2}},
                 "H",
                 "\r\n\xC4\xD6\xDC\r\n",
                 {"\xC4\xD6\xDC"}},
        ReadCase{"NegativeCases", {-5, 1, {"A"}, {1}, {2}}, "H", "\r\n-5 cases\r\n", {"A"}},
        ReadCase{"HeaderWithLineEnd", {1, 1, {"A"}, {1}, {2}}, "AB\r\nCD", "AB\r\nCD  ", {"A"}},
        ReadCase{
            "NonFiniteValues",
            {1,
             2,
             {"A", "B"},
             {std::numeric_limits<double>::quiet_NaN(), 1, 2},
             {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}},
            "H",
            " NaN\r\n 1.000 2.000\r\n\r\nMeans\r\n Inf -Inf",
            {"A", "B"}}),
    testing::CaseName());

TEST(DsfReaderTest, BytesAfterTheMeansAreIgnored) {
    std::vector<std::byte> bytes = BuildDsf(DemoMomentData(), "DEMO");
    bytes.resize(bytes.size() + 1000, std::byte{0x7F});
    TextPane pane;
    EXPECT_EQ(ParseDsf(bytes, pane), DemoMomentData());
    EXPECT_EQ(pane.Text(), kDemoPane);
}

TEST(DsfReaderTest, ASecondReadLeavesNoTraceOfTheFirst) {
    TextPane pane;
    ParseDsf(BuildDsf(testing::SyntheticMomentData(5)), pane);
    const MomentData second = ParseDsf(BuildDsf(DemoMomentData(), "DEMO"), pane);
    EXPECT_EQ(second, DemoMomentData());
    EXPECT_EQ(pane.Text(), kDemoPane);
}

// Damaged files: what the error says and what the pane holds when it is raised.
struct FailureCase {
    const char* name;
    std::vector<std::byte> bytes;
    ErrorKind kind;
    std::string message;
    std::string pane;
};

std::vector<std::byte> HeaderAndCounts(std::int32_t cases, std::int32_t variables) {
    return ByteWriter().Text("HDR", 64).Int32(cases).Int32(variables).Bytes();
}

std::vector<std::byte> Truncated(std::vector<std::byte> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

const std::string kHeaderPane = "HDR" + std::string(61, ' ');

class DsfReaderFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(DsfReaderFailureTest, FailsWithASpecificDescription) {
    const FailureCase& c = GetParam();
    TextPane pane;
    try {
        ParseDsf(c.bytes, pane);
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.Kind(), c.kind);
        EXPECT_EQ(std::string(error.what()), c.message);
    }
    EXPECT_EQ(pane.Text(), c.pane);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DsfReaderFailureTest,
    ::testing::Values(
        FailureCase{"Empty",
                    {},
                    ErrorKind::TooShort,
                    "the file is 0 bytes long, but a data system file needs at least 72 bytes "
                    "for its header and counts",
                    ""},
        FailureCase{"OneByte",
                    {std::byte{1}},
                    ErrorKind::TooShort,
                    "the file is 1 byte long, but a data system file needs at least 72 bytes for "
                    "its header and counts",
                    ""},
        FailureCase{"ZeroVariables", HeaderAndCounts(10, 0), ErrorKind::BadValue,
                    "the file declares 0 variables, but a data system file has at least 1",
                    kHeaderPane + "\r\n10 cases\r\n0 variables"},
        FailureCase{"NegativeVariables", HeaderAndCounts(10, -1), ErrorKind::BadValue,
                    "the file declares -1 variables, but a data system file has at least 1",
                    kHeaderPane + "\r\n10 cases\r\n-1 variables"},
        FailureCase{
            "MostNegativeVariables", HeaderAndCounts(10, std::numeric_limits<std::int32_t>::min()),
            ErrorKind::BadValue,
            "the file declares -2147483648 variables, but a data system file has at least 1",
            kHeaderPane + "\r\n10 cases\r\n-2147483648 variables"},
        FailureCase{"TooManyVariables", HeaderAndCounts(10, 46341), ErrorKind::Unsupported,
                    "the file declares 46341 variables, but at most 46340 are supported (the "
                    "covariance count p(p+1)/2 must stay within 32-bit arithmetic)",
                    kHeaderPane + "\r\n10 cases\r\n46341 variables"},
        FailureCase{"LargestCount", HeaderAndCounts(10, std::numeric_limits<std::int32_t>::max()),
                    ErrorKind::Unsupported,
                    "the file declares 2147483647 variables, but at most 46340 are supported "
                    "(the covariance count p(p+1)/2 must stay within 32-bit arithmetic)",
                    kHeaderPane + "\r\n10 cases\r\n2147483647 variables"},
        FailureCase{"LargestSupportedCountButShort", HeaderAndCounts(10, 46340),
                    ErrorKind::TooShort,
                    "the file is 72 bytes long, but a data system file with 46340 variables "
                    "needs 8590509272 bytes",
                    kHeaderPane + "\r\n10 cases\r\n46340 variables"},
        FailureCase{"TruncatedInTheMeans", Truncated(BuildDsf(DemoMomentData(), "HDR"), 100),
                    ErrorKind::TooShort,
                    "the file is 100 bytes long, but a data system file with 2 variables needs "
                    "128 bytes",
                    kHeaderPane + "\r\n150 cases\r\n2 variables"},
        FailureCase{"OneByteShort", Truncated(BuildDsf(DemoMomentData(), "HDR"), 127),
                    ErrorKind::TooShort,
                    "the file is 127 bytes long, but a data system file with 2 variables needs "
                    "128 bytes",
                    kHeaderPane + "\r\n150 cases\r\n2 variables"},
        FailureCase{"OneVariableNoData", HeaderAndCounts(1, 1), ErrorKind::TooShort,
                    "the file is 72 bytes long, but a data system file with 1 variable needs 96 "
                    "bytes",
                    kHeaderPane + "\r\n1 cases\r\n1 variables"}),
    testing::CaseName());

TEST(DsfReaderTest, EveryTruncationFailsCleanly) {
    const std::vector<std::byte> full = BuildDsf(testing::SyntheticMomentData(4), "T");
    for (std::size_t size = 0; size < full.size(); ++size) {
        TextPane pane;
        const std::span<const std::byte> bytes(full.data(), size);
        EXPECT_THROW(ParseDsf(bytes, pane), ConversionError) << size;
    }
}

TEST(DsfReaderFileTest, ReadsTheFileAtAPath) {
    testing::TempDir dir;
    const auto path = dir.Path() / "demo.dsf";
    testing::WriteFileBytes(path, BuildDsf(DemoMomentData(), "DEMO"));
    TextPane pane;
    EXPECT_EQ(ReadDsf(path, pane), DemoMomentData());
    EXPECT_EQ(pane.Text(), kDemoPane);
}

TEST(DsfReaderFileTest, MissingFileIsAnErrorAndIsNotCreated) {
    testing::TempDir dir;
    const auto path = dir.Path() / "missing.dsf";
    TextPane pane;
    try {
        ReadDsf(path, pane);
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.Kind(), ErrorKind::CannotOpen);
        EXPECT_EQ(std::string(error.what()),
                  std::make_error_code(std::errc::no_such_file_or_directory).message());
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(pane.Text(), "");
}

TEST(DsfReaderFileTest, FolderIsAnError) {
    testing::TempDir dir;
    TextPane pane;
    try {
        ReadDsf(dir.Path(), pane);
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_EQ(std::string(error.what()), "it is a folder, not a file");
    }
}

TEST(DsfReaderFileTest, ShortFileReportsItsRealLength) {
    testing::TempDir dir;
    const auto path = dir.Path() / "short.dsf";
    testing::WriteFileBytes(path, Truncated(BuildDsf(DemoMomentData(), "DEMO"), 100));
    TextPane pane;
    EXPECT_THROW(
        {
            try {
                ReadDsf(path, pane);
            } catch (const ConversionError& error) {
                EXPECT_EQ(std::string(error.what()),
                          "the file is 100 bytes long, but a data system file with 2 variables "
                          "needs 128 bytes");
                throw;
            }
        },
        ConversionError);
}

}  // namespace
}  // namespace dsf2vemo
