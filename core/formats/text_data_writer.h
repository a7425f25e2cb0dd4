#pragma once

#include <cstddef>
#include <string>

#include "block_text.h"
#include "moment_data.h"
#include "separators.h"

namespace dsf2vemo {

// The text data file for `data`: a "rowtype_"/"varname_" header line, an "n" line, one "cov"
// line per variable with the lower triangle, and a "mean" line, each ended by CR LF.
class TextDataWriter {
  public:
    // Throws ConversionError (Refused) when the result would read back wrongly: an empty
    // separator, a separator holding a line end, an ASCII letter, a digit, "+", "-" or "_" (what
    // numbers and the fixed words are made of), list and decimal separators sharing a character,
    // a name holding the list separator or a line end, a name ending in part of a list separator
    // that can overlap itself ("A|" before "||"), or arrays that don't match the variable count.
    TextDataWriter(const MomentData& data, const Separators& separators);

    void AppendTo(BlockText& out) const;
    // About the size of the whole text, for a buffer that grows once.
    std::size_t SizeEstimate() const;

  private:
    const MomentData& data_;
    const Separators& separators_;
};

// The text data file as one string.
std::string FormatTextData(const MomentData& data, const Separators& separators);

}  // namespace dsf2vemo
