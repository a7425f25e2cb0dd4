#pragma once

// What every fuzz target does with an input: hand it to one check of the test support (the
// checks the regression test replays) and abort with the check's description when it finds
// something wrong, so that libFuzzer keeps the input as a failure.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "fuzz_input.h"

namespace dsf2vemo::fuzz {

inline std::span<const std::byte> Bytes(const std::uint8_t* data, std::size_t size) {
    return std::as_bytes(std::span(data, size));
}

inline int Report(std::string_view check, const std::string& failure) {
    if (!failure.empty()) {
        std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(check.size()), check.data(),
                     failure.c_str());
        std::abort();
    }
    return 0;
}

}  // namespace dsf2vemo::fuzz

// A target that runs `check` on every input.
#define DSF2VEMO_FUZZ_TARGET(check)                                                            \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {        \
        return ::dsf2vemo::fuzz::Report(#check, (check)(::dsf2vemo::fuzz::Bytes(data, size))); \
    }
