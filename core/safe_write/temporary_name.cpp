#include "temporary_name.h"

#include <charconv>
#include <cstdint>
#include <iterator>
#include <random>

#include "conversion_error.h"

namespace dsf2vemo {

std::string RandomTemporaryName() {
    static std::random_device random;
    char digits[8];
    const auto end = std::to_chars(std::begin(digits), std::end(digits),
                                   std::uniform_int_distribution<std::uint32_t>()(random), 16);
    return "dsf2vemo-" + std::string(std::begin(digits), end.ptr) + ".tmp";
}

std::filesystem::path MakeUnderFreshName(
    const std::filesystem::path& folder,
    const std::function<bool(const std::filesystem::path&)>& make,
    const std::function<std::string()>& next_name, std::string_view failure) {
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        std::filesystem::path path = folder / next_name();
        if (make(path)) {
            return path;
        }
    }
    CannotWrite(std::string(failure) + ": " + std::to_string(kTemporaryNameAttempts) +
                " names were taken");
}

}  // namespace dsf2vemo
