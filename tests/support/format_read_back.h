#pragma once

#include <string>
#include <string_view>

#include "dsf_reader.h"
#include "mplus_pair.h"

namespace dsf2vemo::testing {

// Read back by readers of their own (nlohmann-json; a reader of free-format numbers and of the
// Mplus name list), each returns what differs first from what was read, or an empty string.

// The members in order, the case count, one name a variable, rows of 1, 2, … values and the means,
// every number the very double that was read.
std::string CompareJson(const DsfFile& expected, std::string_view json);

// The data file's numbers, means first and then the triangle, the very doubles that were read;
// the input file's lines at most 90 characters, and its names one a variable, each one Mplus can
// take, unique ignoring case.
std::string CompareMplus(const DsfFile& expected, const MplusFiles& files);

}  // namespace dsf2vemo::testing
