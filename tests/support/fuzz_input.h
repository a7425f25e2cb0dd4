#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "separators.h"

namespace dsf2vemo::testing {

// The separators the conversion fuzzer writes with, taken from the first bytes of the header
// text (which the conversion otherwise only echoes): byte 0 picks "," with ".", ";" with ",",
// a tab with ".", or separators made of the bytes that follow (a list separator of 1 to 3 bytes
// from bytes 2 to 4 and a decimal separator of 1 or 2 bytes from bytes 5 and 6, their lengths
// from byte 1). Inputs too short to hold them get "," and ".".
Separators SeparatorsForFuzzInput(std::span<const std::byte> bytes);

// Runs one fuzz input through the whole conversion: ParseDsfFile, then each format read back
// by a reader of its own: FormatTextData with SeparatorsForFuzzInput through CompareTextData,
// FormatJson through CompareJson and FormatMplus through CompareMplus. A ConversionError from
// the reader and a refusal from a writer are accepted outcomes. Returns a description of anything
// else that went wrong (an empty string when nothing did); exceptions other than ConversionError
// propagate.
std::string CheckConversion(std::span<const std::byte> bytes);

// Runs one fuzz input through ParseDsfFile and, when it decodes, Diagnose, whose findings must
// each be one line. Returns an empty string when all is well, the input rejected with a
// ConversionError included; exceptions other than ConversionError propagate.
std::string CheckReader(std::span<const std::byte> bytes);

}  // namespace dsf2vemo::testing
