#include "help_file.h"

#include <windows.h>

#include <algorithm>
#include <array>

#include "path_divide.h"

namespace dsf2vemo::gui {

std::wstring HelpFileFor(std::int32_t help_id, std::wstring_view specific_help_file,
                         std::wstring_view program_directory) {
    const std::wstring_view name =
        help_id >= kSharedHelpThreshold ? std::wstring_view(kSharedHelpFile) : specific_help_file;
    CPathDivide divide;
    divide.Init(name);
    return std::wstring(program_directory) + L"\\" + divide.NamePlusExtension();
}

bool SameTextNoCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool IsListLike(std::wstring_view type_name) {
    static constexpr std::array<std::wstring_view, 5> kListLike = {
        L"Listbox", L"ListView", L"vsFlexGrid", L"SSTree", L"Strip"};
    return std::any_of(kListLike.begin(), kListLike.end(),
                       [&](std::wstring_view name) { return SameTextNoCase(type_name, name); });
}

}  // namespace dsf2vemo::gui
