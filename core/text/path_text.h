#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace dsf2vemo {

// A path as UTF-8 text, for messages.
inline std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A path from UTF-8 text (a command-line argument). On POSIX the bytes are taken as they are, so
// names that aren't valid UTF-8 still work.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
#else
    return std::filesystem::path(std::string(text));
#endif
}

}  // namespace dsf2vemo
