#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dsf_reader.h"

namespace dsf2vemo {

// The moments of a data system file as a program takes them in (the packages for R and Python
// hand them to their users): texts as UTF-8, the header without its padding as the JSON has it,
// and the whole symmetric matrix, the lower triangle mirrored, exactly the doubles of the file.
struct MomentTable {
    std::string header;
    std::int32_t cases = 0;
    std::vector<std::string> names;
    // p x p; element (i, j), counted from 0, at i * p + j, which is also j * p + i: the same
    // buffer serves row-major and column-major arrays.
    std::vector<double> covariances;
    std::vector<double> means;
};

// Throws ConversionError (Refused) when the arrays don't match the variable count.
MomentTable TableOfMoments(const DsfFile& file);

}  // namespace dsf2vemo
