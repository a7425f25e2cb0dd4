// Reading a data system file as a stream: only the bytes its counts call for, whatever follows,
// in whatever pieces it arrives. Pipes and devices: cli_unix_inputs.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "case_name.h"
#include "conversion_error.h"
#include "dsf_builder.h"
#include "dsf_reader.h"

namespace dsf2vemo {
namespace {

using testing::BuildDsf;

constexpr std::size_t kNever = static_cast<std::size_t>(-1);

// A stream that hands out its bytes `piece` at a time, as a pipe does, and breaks at `fail_at`.
class PiecewiseBuffer : public std::streambuf {
  public:
    PiecewiseBuffer(std::string bytes, std::size_t piece, std::size_t fail_at)
        : bytes_(std::move(bytes)), piece_(piece), fail_at_(fail_at) {}

  protected:
    int_type underflow() override {
        if (offset_ >= fail_at_) {
            throw std::runtime_error("the pipe broke");
        }
        if (offset_ >= bytes_.size()) {
            return traits_type::eof();
        }
        const std::size_t size = std::min({piece_, bytes_.size() - offset_, fail_at_ - offset_});
        setg(bytes_.data() + offset_, bytes_.data() + offset_, bytes_.data() + offset_ + size);
        offset_ += size;
        return traits_type::to_int_type(*gptr());
    }

  private:
    std::string bytes_;
    std::size_t piece_, fail_at_, offset_ = 0;
};

std::string Text(const std::vector<std::byte>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}
std::string Demo() {
    return Text(BuildDsf(testing::DemoMomentData(), "DEMO"));
}
// p = 200 takes 164072 bytes, read in pieces of 64 KiB and then 128 KiB: the ends of those pieces
// are where reading a stream can stop too soon or too late.
constexpr std::size_t kLargeSize = 164072;
constexpr std::size_t kPiece = 64 * 1024;
std::string Large() {
    return Text(BuildDsf(testing::SyntheticMomentData(200), "LARGE"));
}
std::string Counts(std::int32_t variables, std::size_t tail) {
    return Text(testing::ByteWriter().Text("HDR", 64).Int32(5).Int32(variables).Bytes()) +
           std::string(tail, 'Z');
}
std::string Short(std::size_t size, std::int32_t p, std::size_t needed) {
    return "the file is " + std::to_string(size) + " bytes long, but a data system file with " +
           std::to_string(p) + " variables needs " + std::to_string(needed) + " bytes";
}

struct StreamCase {
    std::string name;
    std::string bytes;
    std::size_t consumed;  // what reading takes from the stream
    std::string message;   // the error it ends with, if any
    std::size_t piece = 1 << 20;
    std::size_t fail_at = kNever;

    friend void PrintTo(const StreamCase& c, std::ostream* out) { *out << c.name; }
};

class DsfStreamTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(DsfStreamTest, ConsumesWhatTheCountsNeedAndNoMore) {
    const StreamCase& c = GetParam();
    PiecewiseBuffer buffer(c.bytes, c.piece, c.fail_at);
    std::istream in(&buffer);
    TextPane pane;
    std::string message;
    try {
        const DsfFile file = ReadDsfStream(in, pane);
        EXPECT_EQ(Text(BuildDsf(file.Moments, file.Header)), c.bytes.substr(0, c.consumed));
    } catch (const ConversionError& error) {
        message = error.what();
    }
    EXPECT_EQ(message, c.message);
    if (c.fail_at == kNever) {
        in.clear();
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.bytes.substr(c.consumed));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DsfStreamTest,
    ::testing::Values(
        StreamCase{"Demo", Demo(), 128, ""},
        StreamCase{"DemoAndMore", Demo() + std::string(300000, 'Z'), 128, "", 4096},
        StreamCase{"Empty", "", 0,
                   "the file is 0 bytes long, but a data system file needs at least 72 bytes for "
                   "its header and counts"},
        StreamCase{"OneByteShort", Demo().substr(0, 127), 127, Short(127, 2, 128)},
        // A count the reader refuses: nothing after the counts is read.
        StreamCase{"NoVariables", Counts(0, 500), 72,
                   "the file declares 0 variables, but a data system file has at least 1"},
        StreamCase{"OneVariable", Counts(1, 500), 96, ""},
        StreamCase{"MostVariablesButFewBytes", Counts(46340, 3000), 3072,
                   Short(3072, 46340, 8590509272)},
        StreamCase{"OneVariableTooMany", Counts(46341, 500), 72,
                   "the file declares 46341 variables, but at most 46340 are supported (the "
                   "covariance count p(p+1)/2 must stay within 32-bit arithmetic)"},
        StreamCase{"LargeWhole", Large() + "MORE", kLargeSize, "", 5000},
        StreamCase{"LargeEndingAtThePiece", Large().substr(0, kPiece), kPiece,
                   Short(kPiece, 200, kLargeSize)},
        StreamCase{"LargeEndingAfterThePiece", Large().substr(0, kPiece + 1), kPiece + 1,
                   Short(kPiece + 1, 200, kLargeSize)},
        StreamCase{"LargeOneByteShort", Large().substr(0, kLargeSize - 1), kLargeSize - 1,
                   Short(kLargeSize - 1, 200, kLargeSize)},
        StreamCase{"BreaksInTheMoments", Large(), 0, "reading failed", 1000, 100000}),
    testing::CaseName());

}  // namespace
}  // namespace dsf2vemo
