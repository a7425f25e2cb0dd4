#pragma once

#include <string>

#include "block_text.h"
#include "dsf_reader.h"

namespace dsf2vemo {

// The moments of a file as one JSON object, UTF-8, for programs that read JSON:
//   {"header": "DEMO ...", "cases": 150, "variables": ["X1", "X2"],
//    "covariances": [[1.5], [0.3, 2.25]], "means": [10, 20.5]}
// The header (without its trailing padding of spaces and NULs, as the names) and the names are
// decoded from the file's code page;
// covariances are the lower triangle, one array per row. Numbers are in the shortest form that
// reads back as the same double, never rounded (negative zero as "-0.0").
class JsonWriter {
  public:
    // Throws ConversionError (Refused) when a value is NaN or infinite, which JSON has no words
    // for, or the arrays don't match the variable count.
    explicit JsonWriter(const DsfFile& file);

    void AppendTo(BlockText& out) const;

  private:
    const DsfFile& file_;
};

// The JSON object as one string.
std::string FormatJson(const DsfFile& file);

}  // namespace dsf2vemo
