// Reading a data system file as a stream (standard input, a named pipe): only the bytes its counts
// call for, whatever arrives after them, in whatever pieces it arrives; and paths that are no file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include "case_name.h"
#include "conversion_error.h"
#include "dsf_builder.h"
#include "dsf_reader.h"
#include "temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <thread>
#endif

namespace dsf2vemo {
namespace {

using testing::BuildDsf;
using testing::ByteWriter;
using testing::DemoMomentData;

std::string AsText(const std::vector<std::byte>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// A stream that hands out its bytes a few at a time, as a pipe does, and fails where told.
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
        char* begin = bytes_.data() + offset_;
        setg(begin, begin, begin + size);
        offset_ += size;
        return traits_type::to_int_type(*begin);
    }

  private:
    std::string bytes_;
    std::size_t piece_;
    std::size_t fail_at_;
    std::size_t offset_ = 0;
};

// p = 200 takes 164072 bytes, read in pieces of 64 KiB and then 128 KiB: the first buffer's end
// and the second's are the places where a stream's reading can stop too soon or too late.
constexpr std::int32_t kLargeCount = 200;
constexpr std::size_t kLargeSize = 164072;
constexpr std::size_t kFirstPiece = 64 * 1024;

struct StreamCase {
    std::string name;
    std::vector<std::byte> bytes;
    std::size_t piece = 1 << 20;  // what the stream hands out at a time
    std::size_t fail_at = static_cast<std::size_t>(-1);
    // What reading consumes of the stream, and the error it ends with, if any.
    std::size_t consumed;
    std::string message;

    friend void PrintTo(const StreamCase& c, std::ostream* out) { *out << c.name; }
};

std::vector<std::byte> Cut(std::vector<std::byte> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

std::vector<std::byte> WithTail(std::vector<std::byte> bytes, std::size_t tail) {
    bytes.resize(bytes.size() + tail, std::byte{0x5A});
    return bytes;
}

std::vector<std::byte> Large() {
    return BuildDsf(testing::SyntheticMomentData(kLargeCount), "LARGE");
}

std::vector<std::byte> Counts(std::int32_t variables, std::size_t tail) {
    return WithTail(ByteWriter().Text("HDR", 64).Int32(5).Int32(variables).Bytes(), tail);
}

std::string Short(std::size_t size, std::int32_t p, std::size_t needed) {
    return "the file is " + std::to_string(size) + " bytes long, but a data system file with " +
           std::to_string(p) + " variables needs " + std::to_string(needed) + " bytes";
}

class DsfStreamTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(DsfStreamTest, ConsumesWhatTheCountsNeedAndNoMore) {
    const StreamCase& c = GetParam();
    PiecewiseBuffer buffer(AsText(c.bytes), c.piece, c.fail_at);
    std::istream in(&buffer);
    TextPane pane;
    std::string message;
    try {
        const DsfFile file = ReadDsfStream(in, pane);
        EXPECT_EQ(AsText(BuildDsf(file.Moments, file.Header)), AsText(Cut(c.bytes, c.consumed)));
    } catch (const ConversionError& error) {
        message = error.what();
    }
    EXPECT_EQ(message, c.message);
    if (c.fail_at == static_cast<std::size_t>(-1)) {
        // What follows stays in the stream, byte for byte.
        in.clear();
        const std::string rest(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(rest, AsText(c.bytes).substr(c.consumed));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DsfStreamTest,
    ::testing::Values(
        StreamCase{"Demo", BuildDsf(DemoMomentData(), "DEMO"), 1 << 20,
                   static_cast<std::size_t>(-1), 128, ""},
        StreamCase{"DemoSevenBytesAtATime", BuildDsf(DemoMomentData(), "DEMO"), 7,
                   static_cast<std::size_t>(-1), 128, ""},
        StreamCase{"DemoAndMoreAfterIt", WithTail(BuildDsf(DemoMomentData(), "DEMO"), 300000), 4096,
                   static_cast<std::size_t>(-1), 128, ""},
        StreamCase{"Empty",
                   {},
                   1 << 20,
                   static_cast<std::size_t>(-1),
                   0,
                   "the file is 0 bytes long, but a data system file needs at least 72 bytes for "
                   "its header and counts"},
        StreamCase{"OneByteShortOfTheCounts", Counts(2, 0), 1 << 20, static_cast<std::size_t>(-1),
                   72, Short(72, 2, 128)},
        StreamCase{"OneByteShort", Cut(BuildDsf(DemoMomentData(), "DEMO"), 127), 1 << 20,
                   static_cast<std::size_t>(-1), 127, Short(127, 2, 128)},
        // A count the reader refuses: nothing after the counts is read.
        StreamCase{"NoVariables", Counts(0, 500), 1 << 20, static_cast<std::size_t>(-1), 72,
                   "the file declares 0 variables, but a data system file has at least 1"},
        StreamCase{"OneVariable", Counts(1, 500), 1 << 20, static_cast<std::size_t>(-1), 96, ""},
        StreamCase{"MostVariablesButFewBytes", Counts(46340, 3000), 1 << 20,
                   static_cast<std::size_t>(-1), 3072, Short(3072, 46340, 8590509272)},
        StreamCase{"OneVariableTooMany", Counts(46341, 500), 1 << 20, static_cast<std::size_t>(-1),
                   72,
                   "the file declares 46341 variables, but at most 46340 are supported (the "
                   "covariance count p(p+1)/2 must stay within 32-bit arithmetic)"},
        StreamCase{"LargeWhole", WithTail(Large(), 1000), 5000, static_cast<std::size_t>(-1),
                   kLargeSize, ""},
        StreamCase{"LargeEndingAtTheFirstPiece", Cut(Large(), kFirstPiece), 1 << 20,
                   static_cast<std::size_t>(-1), kFirstPiece,
                   Short(kFirstPiece, kLargeCount, kLargeSize)},
        StreamCase{"LargeEndingOneAfterTheFirstPiece", Cut(Large(), kFirstPiece + 1), 1 << 20,
                   static_cast<std::size_t>(-1), kFirstPiece + 1,
                   Short(kFirstPiece + 1, kLargeCount, kLargeSize)},
        StreamCase{"LargeEndingAtTheSecondPiece", Cut(Large(), 2 * kFirstPiece), 1 << 20,
                   static_cast<std::size_t>(-1), 2 * kFirstPiece,
                   Short(2 * kFirstPiece, kLargeCount, kLargeSize)},
        StreamCase{"LargeOneByteShort", Cut(Large(), kLargeSize - 1), 1 << 20,
                   static_cast<std::size_t>(-1), kLargeSize - 1,
                   Short(kLargeSize - 1, kLargeCount, kLargeSize)},
        StreamCase{"BreaksInTheMoments", Large(), 1000, 100000, 100000, "reading failed"},
        StreamCase{"BreaksInTheCounts", Large(), 1000, 70, 70, "reading failed"}),
    testing::CaseName());

#ifndef _WIN32

// Paths that are no data system file are refused in words before anything is read from them.
struct SpecialPathCase {
    std::string name;
    std::filesystem::path path;  // relative: made in a scratch folder first
    std::string message;

    friend void PrintTo(const SpecialPathCase& c, std::ostream* out) { *out << c.name; }
};

class DsfSpecialPathTest : public ::testing::TestWithParam<SpecialPathCase> {};

TEST_P(DsfSpecialPathTest, IsRefusedInWords) {
    const SpecialPathCase& c = GetParam();
    testing::TempDir dir;
    std::filesystem::path path = c.path;
    if (path.is_relative()) {
        path = dir.Path() / c.path;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string text = path.string();
        ASSERT_LT(text.size(), sizeof address.sun_path);
        std::copy(text.begin(), text.end(), address.sun_path);
        const int socket_fd = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(bind(socket_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        close(socket_fd);
    }
    TextPane pane;
    try {
        ReadDsfFile(path, pane);
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.Kind(), ErrorKind::CannotOpen);
        EXPECT_EQ(std::string(error.what()), c.message);
    }
    EXPECT_EQ(pane.Text(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DsfSpecialPathTest,
    ::testing::Values(
        SpecialPathCase{"EndlessDevice", "/dev/zero", "it is a device, not a data system file"},
        SpecialPathCase{"EmptyDevice", "/dev/null", "it is a device, not a data system file"},
        SpecialPathCase{"Socket", "socket", "it is a socket, not a data system file"}),
    testing::CaseName());

// A named pipe is read as it comes, up to what the counts need, however long its writer goes on.
TEST(DsfNamedPipeTest, IsReadLikeAFileUpToWhatTheCountsNeed) {
    testing::TempDir dir;
    const std::filesystem::path fifo = dir.Path() / "study.dsf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string bytes = AsText(WithTail(BuildDsf(DemoMomentData(), "DEMO"), 1 << 20));
    // The writer learns that the reader is gone from a failed write, not a signal.
    const auto old_handler = std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&] {
        std::ofstream out(fifo, std::ios::binary);
        // The reader closes its end after 128 bytes: the rest may never arrive.
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    });
    TextPane pane;
    std::optional<DsfFile> file;
    try {
        file = ReadDsfFile(fifo, pane);
    } catch (const ConversionError& error) {
        ADD_FAILURE() << error.what();
    }
    // A writer still waiting for a reader (the pipe refused unopened) gets one, and goes.
    close(open(fifo.c_str(), O_RDONLY | O_NONBLOCK));
    writer.join();
    std::signal(SIGPIPE, old_handler);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Moments, DemoMomentData());
}

#endif

}  // namespace
}  // namespace dsf2vemo
