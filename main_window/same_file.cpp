#include "same_file.h"

#include <windows.h>

#include <system_error>

namespace dsf2vemo::gui {

namespace {

std::wstring Normalised(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) {
        absolute = path;
    }
    return absolute.lexically_normal().make_preferred().wstring();
}

}  // namespace

bool NamesSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec) && !ec) {
        return true;
    }
    const std::wstring first = Normalised(a);
    const std::wstring second = Normalised(b);
    return CompareStringOrdinal(first.c_str(), static_cast<int>(first.size()), second.c_str(),
                                static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace dsf2vemo::gui
