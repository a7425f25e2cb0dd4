#pragma once

#include <cstdint>
#include <string_view>

namespace dsf2vemo {

// What tells a data file from any other: its size and its CRC-32 (the checksum of zip and PNG,
// which `crc32` and other tools also compute), as the input file written with it records them.
struct DataFingerprint {
    std::uint64_t size = 0;
    std::uint32_t crc = 0;

    friend bool operator==(const DataFingerprint&, const DataFingerprint&) = default;
};

// The fingerprint of bytes handed over a block at a time, as they are written or read.
class FingerprintSum {
  public:
    void Add(std::string_view bytes);
    DataFingerprint Result() const;

  private:
    std::uint64_t size_ = 0;
    std::uint32_t crc_ = 0xFFFFFFFF;
};

}  // namespace dsf2vemo
