// Writes the seed corpus of the fuzzers into a folder: valid data system files with 1, 2, 5 and
// 20 variables, and damaged ones (truncated in each section, impossible variable counts).
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "dsf_builder.h"
#include "dsf_reader.h"

namespace {

using namespace std::string_view_literals;
using dsf2vemo::DsfSize;
using dsf2vemo::MomentData;
using dsf2vemo::testing::BuildDsf;
using dsf2vemo::testing::ByteWriter;
using dsf2vemo::testing::SyntheticMomentData;
using dsf2vemo::testing::WriteFileBytes;

std::vector<std::byte> WithVariableCount(std::int32_t count) {
    ByteWriter writer;
    writer.Text("DAMAGED", 64).Int32(100).Int32(count);
    for (int i = 0; i < 40; ++i) {
        writer.Double(i);
    }
    return writer.Bytes();
}

std::vector<std::byte> Truncated(std::int32_t p, std::int64_t size) {
    std::vector<std::byte> bytes = BuildDsf(SyntheticMomentData(p), "TRUNCATED");
    bytes.resize(static_cast<std::size_t>(size));
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_seed_corpus FOLDER\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        auto write = [&](const std::string& name, const std::vector<std::byte>& bytes) {
            WriteFileBytes(folder / name, bytes);
        };
        // The first header byte picks the separators the conversion fuzzer writes with.
        write("valid_p1_comma", BuildDsf(SyntheticMomentData(1), "\x00 comma and point"sv));
        write("valid_p2_semicolon", BuildDsf(SyntheticMomentData(2), "\x01 semicolon, comma"sv));
        write("valid_p5_tab", BuildDsf(SyntheticMomentData(5), "\x02 tab and point"sv));
        write("valid_p5_own", BuildDsf(SyntheticMomentData(5), "\x03\x01|:xx,"sv));
        write("valid_p20", BuildDsf(SyntheticMomentData(20), "\x00 twenty"sv));
        MomentData odd{
            -7,
            3,
            {"", "\xC4rger", "a b"},
            {0.0, -0.0, 1e-310, 1e300, -2.5e-5, 1e15},
            {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
             -std::numeric_limits<double>::infinity()}};
        write("valid_p3_odd_values", BuildDsf(odd, "\x00 odd values"sv));
        write("empty", {});
        write("header_only", Truncated(2, 64));
        write("truncated_counts", Truncated(2, 70));
        write("truncated_names", Truncated(5, DsfSize(5) - 20 * 5 - 4 * 25 + 12));
        write("truncated_triangle", Truncated(5, DsfSize(5) - 8 * 5 - 3));
        write("truncated_means", Truncated(5, DsfSize(5) - 1));
        write("p_zero", WithVariableCount(0));
        write("p_minus_one", WithVariableCount(-1));
        write("p_46340_short", WithVariableCount(46340));
        write("p_46341", WithVariableCount(46341));
        write("p_int32_max", WithVariableCount(std::numeric_limits<std::int32_t>::max()));
        write("p_int32_min", WithVariableCount(std::numeric_limits<std::int32_t>::min()));
    } catch (const std::exception& error) {
        std::cerr << "make_seed_corpus: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
