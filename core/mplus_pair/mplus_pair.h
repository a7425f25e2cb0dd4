#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data_fingerprint.h"
#include "dsf_reader.h"
#include "message_text.h"
#include "mplus_writer.h"

namespace dsf2vemo {

// Mplus summary data are a pair: an input file, NAME.inp, and its data file NAME.dat beside it,
// which the input file names. What the window, the command line and the page decide about a pair
// is decided here, in memory: the data file's name as the input file holds it, the fingerprint of
// the data file that the input file's first line records, and whether an existing data file is
// this program's. Putting a pair on disk is output_files' part.

// The first line of every input file this program writes begins so.
inline constexpr std::string_view kMplusWrittenBy = "! Written by dsf2vemo";

// The whole first line: who wrote the input file, and the fingerprint of the data file written
// with it ("! Written by dsf2vemo 1.00; data file: 81 bytes, CRC-32 1A2B3C4D").
std::string WrittenByLine(const DataFingerprint& data);

// The data file's name `name` (UTF-8) as the input file holds it: in `code_page`. Refuses
// (ConversionError, Refused) a name holding a double quote or a control character, which an input
// file can't hold in a file name, one the code page can't hold, and one too long for its line.
std::string DataFileNameText(std::string_view name, const SingleByteCodePage& code_page);

struct MplusFiles {
    std::string input;  // NAME.inp
    std::string data;   // NAME.dat
    std::vector<MplusRenaming> renamings;
};

// Both files as strings, the input file naming `data_file_name` (as DataFileNameText gives it).
MplusFiles FormatMplus(const DsfFile& file, std::string_view data_file_name);

// How much of an existing input file is read to tell whose its data file is: the lines that tell
// are the first three, of at most 90 characters each.
inline constexpr std::size_t kOwnershipBytes = 4096;

// What the start of an existing input file says about the data file beside it.
struct InputFileClaim {
    bool written_here = false;                  // its first line says this program wrote it
    std::optional<DataFingerprint> data;        // ... and records this fingerprint
    std::optional<std::string> data_file_name;  // its DATA line names this file
};

// Reads the claim from the first kOwnershipBytes of an input file (all of it where it is
// shorter); a line cut off there counts as missing.
InputFileClaim ReadInputFileClaim(std::string_view start);

// Whose an existing data file is. It may be replaced only where it is this program's: the input
// file beside it was written by this program, names it, and records its fingerprint. Anything
// else may be someone's raw data (study.dat beside study.dsf is common).
enum class DataFileOwner {
    ThisProgram,
    Someone,         // no input file of this program names it
    EarlierVersion,  // one does, but records no fingerprint: nothing tells it from other data
    ChangedSince,    // one does, and it differs from the fingerprint recorded
};
// `names_data_file`: whether the claim's data file name, taken in the input file's folder, leads
// to the data file; `found`: the data file's fingerprint, needed only where it is named and a
// fingerprint is recorded.
DataFileOwner OwnerOfDataFile(const InputFileClaim& claim, bool names_data_file,
                              const std::optional<DataFingerprint>& found);

// Why a data file that isn't this program's stays as it is (file names in UTF-8).
std::string WhyDataFileStays(DataFileOwner owner, const InputFileClaim& claim,
                             const std::optional<DataFingerprint>& found,
                             std::string_view data_name, std::string_view input_name);

// That an input file and the data file it names, written together by this program, don't belong
// together any more: what a conversion ended between the two files leaves.
std::string PartedPairSentence(const DataFingerprint& recorded, const DataFingerprint& found,
                               std::string_view data_name, std::string_view input_name);

}  // namespace dsf2vemo
