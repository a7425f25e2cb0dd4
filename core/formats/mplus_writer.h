#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "block_text.h"
#include "dsf_reader.h"

namespace dsf2vemo {

// Whether Mplus takes `name` as a variable name: an ASCII letter first, then letters, digits
// and "_", at most 8 characters, and not one of the words Mplus reserves ("BY", "WITH", …).
bool IsMplusName(std::string_view name);

// A name Mplus could not take and what it became.
struct MplusRenaming {
    std::size_t position;  // from 1
    std::string original;  // as in the file
    std::string name;

    friend bool operator==(const MplusRenaming&, const MplusRenaming&) = default;
};

struct MplusNameList {
    std::vector<std::string> names;
    std::vector<MplusRenaming> renamings;
};

// The names as Mplus takes them. A name that breaks its rules, or repeats an earlier one
// ignoring case, becomes "V<k>" for its position k; where that is taken, "V<k>_2", "V<k>_3"
// and so on, so that all stay unique ignoring case.
MplusNameList MplusNames(std::span<const std::string> names);

// One line about the renamings for the user ("2 names renamed for Mplus: V3 = "été", V5 =
// "x y""), naming the first few; empty when there are none. Single-byte text in the file's code
// page, bytes that aren't text as "\xNN".
std::string RenamingSentence(std::span<const MplusRenaming> renamings);

// Refuses (ConversionError, Refused) a data file name, as the input file holds it, that makes
// its line longer than Mplus reads.
void CheckDataFileLine(std::string_view data_file_name);

// Mplus summary data: an input file naming its data file, and the data file, free format, means
// first, then the lower triangle row by row, every row on a line of its own and at most 10
// numbers a line. Lines end in CR LF and hold at most 90 characters.
class MplusWriter {
  public:
    // Throws ConversionError (Refused) for a NaN or infinite value, a file without variables or
    // cases, or arrays that don't match the variable count.
    explicit MplusWriter(const DsfFile& file);

    // The input file: `first_line`, a comment saying who wrote it, then the commands, naming the
    // data file `data_file_name` as the input file holds it. Throws ConversionError (Refused)
    // where CheckDataFileLine does.
    std::string InputText(std::string_view first_line, std::string_view data_file_name) const;
    void AppendDataTo(BlockText& out) const;
    const std::vector<MplusRenaming>& Renamings() const { return names_.renamings; }

  private:
    const DsfFile& file_;
    MplusNameList names_;
};

}  // namespace dsf2vemo
