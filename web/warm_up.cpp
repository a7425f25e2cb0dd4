#include "warm_up.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace dsf2vemo::web {

namespace {

// The file's layout, little-endian: a 64-byte header, the numbers of cases and of variables, an
// 8-byte name for each variable, then the lower triangle of covariances row by row and the means.
void AppendText(std::string& bytes, const std::string& text, std::size_t size) {
    bytes.append(text.substr(0, size));
    bytes.append(size - std::min(size, text.size()), ' ');
}

void AppendBits(std::string& bytes, std::uint64_t bits, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
}

void AppendDouble(std::string& bytes, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    AppendBits(bytes, bits, sizeof bits);
}

}  // namespace

std::string WarmUpFileBytes(std::int32_t variable_count) {
    const auto p = static_cast<std::size_t>(variable_count);
    std::string bytes;
    AppendText(bytes, "WARM-UP", 64);
    AppendBits(bytes, static_cast<std::uint32_t>(2 * variable_count + 100), 4);
    AppendBits(bytes, static_cast<std::uint32_t>(variable_count), 4);
    std::vector<double> sd(p);
    for (std::size_t i = 0; i < p; ++i) {
        AppendText(bytes, "V" + std::to_string(i + 1), 8);
        sd[i] = std::sqrt(1.0 + static_cast<double>(i % 100) / 3.0);
    }
    // Every pair correlates 0.3: positive definite at any size.
    for (std::size_t i = 0; i < p; ++i) {
        for (std::size_t j = 0; j <= i; ++j) {
            AppendDouble(bytes, (i == j ? 1.0 : 0.3) * sd[i] * sd[j]);
        }
    }
    for (std::size_t i = 0; i < p; ++i) {
        AppendDouble(bytes, 10.0 + static_cast<double>(i) / 7.0);
    }
    return bytes;
}

}  // namespace dsf2vemo::web
