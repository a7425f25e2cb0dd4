#pragma once

#include <cstdint>
#include <string>

namespace dsf2vemo::web {

// Variables of the file the page's workers read once as they start. The engine compiles a
// function of WebAssembly for speed only after it has run a while, and never while a call into it
// is under way: without a first file, the user's file would be read and converted start to end
// by the quickly made, slower code. Enough values for every loop of the reader, the echo and the
// three formats to have run long enough.
inline constexpr std::int32_t kWarmUpVariables = 300;

// The bytes of a data system file of `variable_count` variables that reads without findings,
// with values that need all their digits, as measured data do.
std::string WarmUpFileBytes(std::int32_t variable_count = kWarmUpVariables);

}  // namespace dsf2vemo::web
