#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "dsf_reader.h"
#include "mplus_writer.h"

namespace dsf2vemo {

// The Mplus pair on disk, as mplus_pair decides it: the input file and its data file live in one
// folder, the one of the file the input file's name finally leads to (through its links), and are
// replaced together through safe writing.

// The files writing the pair as `input_file` replaces: the input file, and the data file beside
// the file it leads to.
std::vector<std::filesystem::path> MplusPairPaths(const std::filesystem::path& input_file);

// Writes FormatMplus as `input_file` and its data file: both are replaced, or neither. An existing
// data file is replaced only where it is this program's; a data file that would be the input file
// itself is refused. Returns the renamings.
std::vector<MplusRenaming> WriteMplus(const std::filesystem::path& input_file, const DsfFile& file);

// Where the input file `input_file` and the data file it names were written together by this
// program but the data file differs from the fingerprint recorded (a conversion was ended between
// the two), the sentence that says so; otherwise empty. Reads the data file where its size is
// the one recorded.
std::string PartedPairProblem(const std::filesystem::path& input_file);

}  // namespace dsf2vemo
