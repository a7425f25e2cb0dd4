#include "program_path.h"

#include <windows.h>

#include <string>

namespace dsf2vemo::gui {

std::filesystem::path ProgramPath() {
    // Long paths are allowed: grow until the whole name fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path ProgramDirectory() {
    return ProgramPath().parent_path();
}

}  // namespace dsf2vemo::gui
