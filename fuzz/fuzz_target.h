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

#include "fuzz_input.h"

#define DSF2VEMO_FUZZ_TARGET(check)                                                     \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
        const std::string failure = (check)(std::as_bytes(std::span(data, size)));      \
        if (!failure.empty()) {                                                         \
            std::fprintf(stderr, "%s: %s\n", #check, failure.c_str());                  \
            std::abort();                                                               \
        }                                                                               \
        return 0;                                                                       \
    }
