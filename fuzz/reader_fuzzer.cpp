// Fuzzes the data system file reader and the diagnosis of what it decodes: any input must either
// decode, with findings of one line each, or be rejected with a ConversionError. Anything else
// escaping, and any sanitizer report, is a failure.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = std::as_bytes(std::span(data, size));
    const std::string failure = dsf2vemo::testing::CheckReader(bytes);
    if (!failure.empty()) {
        std::fprintf(stderr, "reader fuzzer: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
