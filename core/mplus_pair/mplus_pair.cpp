#include "mplus_pair.h"

#include <charconv>

#include "block_text.h"
#include "conversion_error.h"
#include "file_text.h"
#include "version.h"

namespace dsf2vemo {

namespace {

constexpr std::string_view kFingerprintStart = "; data file: ";
constexpr std::string_view kFingerprintMiddle = " bytes, CRC-32 ";
constexpr std::string_view kDataLineStart = "DATA: FILE = \"";
constexpr std::string_view kDataLineEnd = "\";";

std::string Hex(std::uint32_t value) {
    std::string hex;
    for (int shift = 24; shift >= 0; shift -= 8) {
        hex += HexByte(static_cast<unsigned char>(value >> shift));
    }
    return hex;
}

// The fingerprint WrittenByLine put into `line`, if it is there whole.
std::optional<DataFingerprint> FingerprintIn(std::string_view line) {
    const std::size_t start = line.find(kFingerprintStart);
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    line.remove_prefix(start + kFingerprintStart.size());
    DataFingerprint fingerprint;
    const char* end = line.data() + line.size();
    const auto size = std::from_chars(line.data(), end, fingerprint.size);
    const std::string_view rest(size.ptr, static_cast<std::size_t>(end - size.ptr));
    if (size.ec != std::errc() || !rest.starts_with(kFingerprintMiddle)) {
        return std::nullopt;
    }
    const std::string_view hex = rest.substr(kFingerprintMiddle.size());
    const auto crc = std::from_chars(hex.data(), hex.data() + hex.size(), fingerprint.crc, 16);
    if (hex.size() != 8 || crc.ec != std::errc() || crc.ptr != hex.data() + hex.size()) {
        return std::nullopt;
    }
    return fingerprint;
}

std::optional<std::string> DataFileNameIn(std::string_view line) {
    if (line.size() < kDataLineStart.size() + kDataLineEnd.size() ||
        !line.starts_with(kDataLineStart) || !line.ends_with(kDataLineEnd)) {
        return std::nullopt;
    }
    return std::string(line.substr(kDataLineStart.size(),
                                   line.size() - kDataLineStart.size() - kDataLineEnd.size()));
}

// How the data file differs from the fingerprint its input file records.
std::string Difference(const DataFingerprint& recorded, const DataFingerprint& found,
                       std::string_view data_name, std::string_view input_name) {
    if (found.size != recorded.size) {
        return Quoted(data_name) + " is " + std::to_string(found.size) + " bytes long, where " +
               Quoted(input_name) + " records " + std::to_string(recorded.size);
    }
    return "the CRC-32 of " + Quoted(data_name) + " is " + Hex(found.crc) + ", where " +
           Quoted(input_name) + " records " + Hex(recorded.crc);
}

}  // namespace

std::string WrittenByLine(const DataFingerprint& data) {
    return std::string(kMplusWrittenBy) + " " + DSF2VEMO_VERSION_TEXT +
           std::string(kFingerprintStart) + std::to_string(data.size) +
           std::string(kFingerprintMiddle) + Hex(data.crc);
}

std::string DataFileNameText(std::string_view name, const SingleByteCodePage& code_page) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte < 0x20 || byte == 0x7F) {
            Refuse("byte " + std::to_string(i + 1) +
                   " of the data file's name is the control character 0x" + HexByte(byte) +
                   ", which an Mplus input file can't hold in a file name");
        }
    }
    if (name.find('"') != std::string_view::npos) {
        Refuse("the data file's name " + Quoted(name) +
               " holds a double quote, which an Mplus input file can't hold in a file name");
    }
    std::optional<std::string> text = code_page.from_utf8(name);
    if (!text) {
        Refuse(CodePageCannotHold("the data file's name", name, code_page.words, "input file"));
    }
    CheckDataFileLine(*text);
    return std::move(*text);
}

MplusFiles FormatMplus(const DsfFile& file, std::string_view data_file_name) {
    const MplusWriter writer(file);
    CheckDataFileLine(data_file_name);
    MplusFiles files;
    BlockText data;
    writer.AppendDataTo(data);
    files.data = data.Take();
    FingerprintSum sum;
    sum.Add(files.data);
    files.input = writer.InputText(WrittenByLine(sum.Result()), data_file_name);
    files.renamings = writer.Renamings();
    return files;
}

InputFileClaim ReadInputFileClaim(std::string_view start) {
    InputFileClaim claim;
    const bool whole_file = start.size() < kOwnershipBytes;
    for (std::size_t position = 0, line_number = 1; position < start.size(); ++line_number) {
        const std::size_t end = start.find('\n', position);
        if (end == std::string_view::npos && !whole_file) {
            break;
        }
        std::string_view line =
            start.substr(position, (end == std::string_view::npos ? start.size() : end) - position);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line_number == 1) {
            claim.written_here = line.starts_with(std::string(kMplusWrittenBy) + " ");
            if (!claim.written_here) {
                break;
            }
            claim.data = FingerprintIn(line);
        } else if ((claim.data_file_name = DataFileNameIn(line))) {
            break;
        }
        if (end == std::string_view::npos) {
            break;
        }
        position = end + 1;
    }
    return claim;
}

DataFileOwner OwnerOfDataFile(const InputFileClaim& claim, bool names_data_file,
                              const std::optional<DataFingerprint>& found) {
    if (!claim.written_here || !claim.data_file_name || !names_data_file) {
        return DataFileOwner::Someone;
    }
    if (!claim.data) {
        return DataFileOwner::EarlierVersion;
    }
    return found == claim.data ? DataFileOwner::ThisProgram : DataFileOwner::ChangedSince;
}

std::string WhyDataFileStays(DataFileOwner owner, const InputFileClaim& claim,
                             const std::optional<DataFingerprint>& found,
                             std::string_view data_name, std::string_view input_name) {
    const std::string data = "the data file " + Quoted(data_name);
    const std::string choose = ", so it stays as it is; delete it or choose another output name";
    switch (owner) {
        case DataFileOwner::EarlierVersion:
            return data + " exists already, and " + Quoted(input_name) +
                   " records no fingerprint of it (an earlier version wrote it): nothing tells it "
                   "from someone's data" +
                   choose;
        case DataFileOwner::ChangedSince:
            return data + " is not the one " + Quoted(input_name) + " was written with (" +
                   Difference(*claim.data, found.value_or(DataFingerprint{}), data_name,
                              input_name) +
                   "): it may be someone's data, or what a conversion ended between the two files "
                   "left" +
                   choose;
        case DataFileOwner::ThisProgram:
        case DataFileOwner::Someone:
            break;
    }
    return data + " exists already and is not one this program wrote for " + Quoted(input_name) +
           ", so it stays as it is; choose another output name";
}

std::string PartedPairSentence(const DataFingerprint& recorded, const DataFingerprint& found,
                               std::string_view data_name, std::string_view input_name) {
    return Quoted(input_name) + " and " + Quoted(data_name) + " don't belong together (" +
           Difference(recorded, found, data_name, input_name) +
           "): a conversion was ended between the two files, or " + Quoted(data_name) +
           " changed since; convert again to another name";
}

}  // namespace dsf2vemo
