#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "separators.h"

namespace dsf2vemo::testing {

// The separators the text data and echo fuzzers write with, taken from the first bytes of the
// header text (which the conversion otherwise only echoes): byte 0 picks "," with ".", ";" with
// ",", a tab with ".", or separators made of the bytes that follow (a list separator of 1 to 3
// bytes from bytes 2 to 4 and a decimal separator of 1 or 2 bytes from bytes 5 and 6, their lengths
// from byte 1). Inputs too short to hold them get "," and ".".
Separators SeparatorsForFuzzInput(std::span<const std::byte> bytes);

// What each fuzz target checks of one input, each returning a description of what went wrong
// (an empty string when nothing did). A ConversionError from the reader, and from a writer one
// that refuses, are accepted outcomes; exceptions other than ConversionError propagate.

// ParseDsfFile and, when it decodes, Diagnose, whose findings must each be one line; the echo's
// numbers, recorded as they are handed to the pane rather than formatted, must be the triangle
// and then the means, the very doubles decoded.
std::string CheckReader(std::span<const std::byte> bytes);

// The pane's text after ParseDsfFile with the decimal separator of SeparatorsForFuzzInput: it
// must be the header, the counts, the names and every number in the form ReferenceThreeDecimals
// works out on its own.
std::string CheckEcho(std::span<const std::byte> bytes);

// The integer bits beyond a double's 53 of the numbers in a file that would be read, summed
// over its values of 2^53 and more (0 for a file the reader rejects): what the long arithmetic
// behind their three decimals grows with.
int BitsBeyondDoublePrecision(std::span<const std::byte> bytes);
// What the echo fuzzer lets an input take of them: one value near the largest double.
inline constexpr int kEchoFuzzBits = 1024;
bool WithinEchoFuzzBudget(std::span<const std::byte> bytes);

// FormatTextData with SeparatorsForFuzzInput, read back through CompareTextData.
std::string CheckTextData(std::span<const std::byte> bytes);
// FormatJson read back through CompareJson.
std::string CheckJson(std::span<const std::byte> bytes);
// FormatMplus read back through CompareMplus.
std::string CheckMplus(std::span<const std::byte> bytes);

}  // namespace dsf2vemo::testing
