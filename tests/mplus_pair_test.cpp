// The Mplus pair's rules in memory: the fingerprint of the data file, what the first lines of an
// input file claim, and the names a data file may have.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "conversion_error.h"
#include "mplus_pair.h"

namespace dsf2vemo {
namespace {

// CRC-32 as zip, PNG and `crc32` compute it: eight bytes a step, the rest one by one, whatever
// the blocks it comes in.
TEST(MplusPairRulesTest, FingerprintIsSizeAndCrc32) {
    struct Case {
        std::vector<std::string> blocks;
        DataFingerprint expected;
    } const cases[] = {{{}, {0, 0}},
                       {{"123456789"}, {9, 0xCBF43926}},
                       {{"1", "234", "56789"}, {9, 0xCBF43926}},
                       {{"The quick brown fox jumps over the lazy dog"}, {43, 0x414FA339}},
                       {{std::string(1 << 16, '\xFF')}, {1 << 16, 0xDEAB7E4E}}};
    for (const auto& [blocks, expected] : cases) {
        FingerprintSum sum;
        for (const std::string& block : blocks) {
            sum.Add(block);
        }
        EXPECT_EQ(sum.Result(), expected) << blocks.size() << " blocks";
    }
}

TEST(MplusPairRulesTest, TheFirstLinesClaimTheDataFile) {
    const std::string ours = WrittenByLine({24, 0xC01856BE});
    const std::string data_line = "\r\nTITLE: x\r\nDATA: FILE = \"s.dat\";\r\n";
    const std::string largest = "! Written by dsf2vemo 1.00; data file: 18446744073709551615";
    struct Case {
        std::string start;
        bool written_here;
        std::optional<DataFingerprint> data;
        std::optional<std::string> data_file_name;
    } const cases[] = {
        {ours + data_line, true, DataFingerprint{24, 0xC01856BE}, "s.dat"},
        {ours + "\r\nDATA: FILE = \"s.dat\"", true, DataFingerprint{24, 0xC01856BE}, std::nullopt},
        {largest + " bytes, CRC-32 00000000\n", true, DataFingerprint{~0ull, 0}, std::nullopt},
        {"! Written by dsf2vemo 1.00; data file: 18446744073709551616 bytes, CRC-32 00000000", true,
         std::nullopt, std::nullopt},
        {ours.substr(0, ours.size() - 1) + data_line, true, std::nullopt, "s.dat"},
        {ours + "0" + data_line, true, std::nullopt, "s.dat"},
        {"! Written by dsf2vemo 1.00" + data_line, true, std::nullopt, "s.dat"},
        {"! Written by dsf2vemox 1.00" + data_line, false, std::nullopt, std::nullopt},
        {"TITLE: x" + data_line, false, std::nullopt, std::nullopt}};
    for (const auto& [start, written_here, data, data_file_name] : cases) {
        SCOPED_TRACE(start);
        const InputFileClaim claim = ReadInputFileClaim(start);
        EXPECT_EQ(claim.written_here, written_here);
        EXPECT_EQ(claim.data, data);
        EXPECT_EQ(claim.data_file_name, data_file_name);
    }
}

std::optional<std::string> AsciiOnly(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return std::nullopt;
        }
    }
    return std::string(text);
}

// Bytes either side of each range refused, the line of the name at Mplus's limit of 90
// characters and one past it, and a character the code page can't hold.
TEST(MplusPairRulesTest, DataFileNamesAnInputFileCanHold) {
    struct Case {
        std::string name;
        std::string refusal;  // empty where the name is taken
    } const cases[] = {
        {std::string(70, 'n') + ".dat", ""},
        {std::string(71, 'n') + ".dat", "makes the input file's line 91 characters long"},
        {"a\x1F.dat", "byte 2 of the data file's name is the control character 0x1F"},
        {"a .dat", ""},
        {"a~.dat", ""},
        {"a\x7F.dat", "byte 2 of the data file's name is the control character 0x7F"},
        {"a!.dat", ""},
        {"a\".dat", "holds a double quote"},
        {"a#.dat", ""},
        {"\xC3\xA9.dat",
         "the data file's name \"\xC3\xA9.dat\" holds a character that code page ASCII of the "
         "input file can't hold"}};
    for (const auto& [name, refusal] : cases) {
        SCOPED_TRACE(name);
        std::string thrown;
        try {
            EXPECT_EQ(DataFileNameText(name, {"code page ASCII", AsciiOnly}), name);
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.Kind(), ErrorKind::Refused);
            thrown = error.what();
        }
        EXPECT_THAT(thrown, ::testing::HasSubstr(refusal));
        EXPECT_EQ(thrown.empty(), refusal.empty()) << thrown;
    }
}

}  // namespace
}  // namespace dsf2vemo
