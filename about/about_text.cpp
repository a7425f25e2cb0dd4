#include "about_text.h"

#include "about_site.h"

namespace dsf2vemo::about {

std::wstring AboutTitle(std::wstring_view caption) {
    return caption.empty() ? std::wstring(L"About") : std::wstring(caption);
}

std::wstring CopyrightNotice(std::wstring_view year) {
    return L"\u00A9 " + std::wstring(year) + L" " + kCopyrightHolder;
}

std::wstring BuildText(std::int32_t build_number) {
    return L"Beta Test Build " + std::to_wstring(build_number);
}

std::wstring VersionLineToShow(std::wstring_view version_line, std::int32_t build_number) {
    return version_line.empty() ? BuildText(build_number) : std::wstring(version_line);
}

std::wstring LinkAddress() {
    return std::wstring(L"https://") + kWebHost + kProductPath;
}

}  // namespace dsf2vemo::about
