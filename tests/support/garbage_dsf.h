#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "dsf_builder.h"
#include "dsf_reader.h"

namespace dsf2vemo::testing {

// A data system file of p variables whose names and moments are random bytes, as in a file that
// holds no moments at all: the worst case for the echo, since most values are doubles of a
// hundred or more integer digits. The same seed gives the same file.
inline std::vector<std::byte> GarbageDsf(std::int32_t p, std::uint64_t seed = 1) {
    std::mt19937_64 random(seed);
    ByteWriter file;
    file.Text("GARBAGE", 64).Int32(500).Int32(p);
    const auto random_words = static_cast<std::size_t>(p) +  // names, 8 bytes each
                              static_cast<std::size_t>(CovarianceCount(p)) +
                              static_cast<std::size_t>(p);  // means
    std::vector<std::byte> word(8);
    for (std::size_t i = 0; i < random_words; ++i) {
        std::uint64_t bits = random();
        for (std::byte& b : word) {
            b = static_cast<std::byte>(bits & 0xFF);
            bits >>= 8;
        }
        file.Raw(word);
    }
    return file.Bytes();
}

}  // namespace dsf2vemo::testing
