#include "file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace dsf2vemo::gui {

namespace {

// Room for long paths.
constexpr std::size_t kFileNameCapacity = 32768;

}  // namespace

std::wstring DialogFilter(const std::wstring& filter) {
    std::wstring result = filter;
    std::replace(result.begin(), result.end(), L'|', L'\0');
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

bool OpenFileDialog::ShowOpen(HWND owner, CommonDialog& dialog) {
    std::vector<wchar_t> file_name(kFileNameCapacity, L'\0');
    std::copy_n(dialog.FileName.begin(), std::min(dialog.FileName.size(), file_name.size() - 1),
                file_name.begin());
    const std::wstring filter = DialogFilter(dialog.Filter);

    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = file_name.data();
    request.nMaxFile = static_cast<DWORD>(file_name.size());
    // The current directory stays where it was: nothing else in the program depends on it.
    request.Flags = dialog.Flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&request)) {
        return false;
    }
    dialog.FileName.assign(file_name.data());
    return true;
}

}  // namespace dsf2vemo::gui
