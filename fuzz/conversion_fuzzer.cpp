// Fuzzes the whole conversion in memory: read, write the text data file, and read the text back
// with an independent parser that checks its lines, fields and numbers against what was read.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = std::as_bytes(std::span(data, size));
    const std::string failure = dsf2vemo::testing::CheckConversion(bytes);
    if (!failure.empty()) {
        std::fprintf(stderr, "conversion fuzzer: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
