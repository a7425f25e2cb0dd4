#include "file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <filesystem>
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

std::wstring WithTypeExtension(const std::wstring& file_name, const std::wstring& filter,
                               DWORD filter_index) {
    if (filter_index < 1 || std::filesystem::path(file_name).has_extension()) {
        return file_name;
    }
    // The pattern is the second of each "description|pattern" pair.
    std::size_t start = 0;
    for (DWORD field = 1; field < 2 * filter_index; ++field) {
        start = filter.find(L'|', start);
        if (start == std::wstring::npos) {
            return file_name;
        }
        ++start;
    }
    const std::wstring pattern = filter.substr(start, filter.find(L'|', start) - start);
    if (!pattern.starts_with(L"*.") || pattern.find_first_of(L"*?;", 2) != std::wstring::npos ||
        pattern.size() == 2) {
        return file_name;
    }
    return file_name + pattern.substr(1);
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
    request.nFilterIndex = dialog.FilterIndex;
    request.lpstrFile = file_name.data();
    request.nMaxFile = static_cast<DWORD>(file_name.size());
    // The current directory stays where it was: nothing else in the program depends on it.
    request.Flags = dialog.Flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&request)) {
        return false;
    }
    dialog.FileName.assign(file_name.data());
    dialog.FilterIndex = request.nFilterIndex;
    return true;
}

}  // namespace dsf2vemo::gui
