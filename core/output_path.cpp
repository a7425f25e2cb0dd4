#include "output_path.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "conversion_error.h"
#include "path_divide.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

// Only a path with no root folder ("study.dsf", "C:study.dsf") is completed; one that has it
// stays as it is, whether it names a drive, a share (\\server\share) or neither.
fs::path Absolute(const fs::path& path) {
    if (path.has_root_directory()) {
        return path;
    }
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (ec) {
        throw ConversionError(ErrorKind::CannotOpen,
                              "the current folder can't be found: " + ec.message());
    }
    return absolute;
}

bool EqualIgnoringCase(const fs::path::string_type& a, const fs::path::string_type& b) {
#ifdef _WIN32
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
#else
    const auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return fold(x) == fold(y); });
#endif
}

}  // namespace

fs::path DefaultOutputPath(const fs::path& input, std::string_view extension) {
    using Char = fs::path::value_type;
    fs::path full = Absolute(input);
    full.make_preferred();
    BasicPathDivide<Char> divide(static_cast<Char>(fs::path::preferred_separator));
    divide.Init(full.native());
    fs::path output(divide.Directory() + fs::path::preferred_separator + divide.NameOnly());
    output += extension;
    return output;
}

bool IsSameFile(const fs::path& input, const fs::path& output) {
    // fs::equivalent answers only where both exist; for one missing it says "no" unasked.
    std::error_code ec;
    if (fs::exists(input, ec) && fs::exists(output, ec)) {
        const bool same = fs::equivalent(input, output, ec);
        if (!ec) {
            return same;
        }
    }
    const auto normal = [](const fs::path& path) {
        std::error_code absolute_failed;
        const fs::path absolute = fs::absolute(path, absolute_failed);
        return (absolute_failed ? path : absolute).lexically_normal();
    };
    return EqualIgnoringCase(normal(input).native(), normal(output).native());
}

}  // namespace dsf2vemo
