#include "dropped_files.h"

#include <shellapi.h>

#include <string>

namespace dsf2vemo::gui {

std::vector<std::filesystem::path> DroppedFiles::Paths() const {
    const UINT count = DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::filesystem::path> paths;
    paths.reserve(count);
    for (UINT index = 0; index < count; ++index) {
        // The length without the terminating NUL; the buffer needs room for it.
        const UINT length = DragQueryFileW(drop_, index, nullptr, 0);
        std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
        path.resize(DragQueryFileW(drop_, index, path.data(), length + 1));
        paths.emplace_back(std::move(path));
    }
    return paths;
}

}  // namespace dsf2vemo::gui
