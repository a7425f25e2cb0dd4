#include "property_menu.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "error_description.h"
#include "resource.h"

namespace dsf2vemo::gui {

namespace {

// Item identifiers of the built menu, from the menu's own blocks: none can pass for a dialog's
// IDOK or IDCANCEL. The two arrays take a block each.
enum : UINT {
    kIdWhatsThis = IDM_POPUP_FIRST,
    kIdHelp,
    kIdForeColor,
    kIdBackColor,
    kIdPopupFont,
    kIdSummarizeVariable,
    kIdUserFirst = IDM_POPUP_USER_FIRST,
    kIdUserPropertiesFirst = kIdUserFirst + PropertyMenu::kMaxUserItems,
    kIdEnd = kIdUserPropertiesFirst + PropertyMenu::kMaxUserItems,
};
static_assert(kIdSummarizeVariable <= IDM_POPUP_LAST && kIdEnd <= IDM_POPUP_USER_END);

HMENU NewPopupMenu() {
    const HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        ThrowLastError("the popup menu could not be made");
    }
    return menu;
}

void Append(HMENU menu, const MenuItemState& item, UINT_PTR id, UINT flags = MF_STRING) {
    if (!item.Visible) {
        return;
    }
    BOOL appended = FALSE;
    if (item.Caption == L"-") {
        appended = AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
        appended = AppendMenuW(menu, flags | (item.Enabled ? MF_ENABLED : MF_GRAYED), id,
                               item.Caption.c_str());
    }
    if (!appended) {
        ThrowLastError("a menu item could not be added");
    }
}

void AppendArray(HMENU menu, const std::vector<MenuItemState>& items, UINT first_id) {
    for (std::size_t k = 0; k < items.size(); ++k) {
        Append(menu, items[k], first_id + k);
    }
}

}  // namespace

UINT SystemPopupTracker::Track(HWND owner, HMENU menu) {
    POINT mouse{};
    GetCursorPos(&mouse);
    return static_cast<UINT>(
        TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                         mouse.x, mouse.y, owner, nullptr));
}

UniqueMenu PropertyMenu::Build() const {
    UniqueMenu popup(NewPopupMenu());
    Append(popup.Get(), mnuWhatsThis, kIdWhatsThis);
    Append(popup.Get(), mnuHelp, kIdHelp);
    Append(popup.Get(), mnuDummy1, 0);
    if (mnuProperties.Visible) {
        UniqueMenu properties(NewPopupMenu());
        Append(properties.Get(), mnuForeColor, kIdForeColor);
        Append(properties.Get(), mnuBackColor, kIdBackColor);
        Append(properties.Get(), mnuPopupFont, kIdPopupFont);
        AppendArray(properties.Get(), mnuUserProperties, kIdUserPropertiesFirst);
        Append(popup.Get(), mnuProperties, reinterpret_cast<UINT_PTR>(properties.Get()), MF_POPUP);
        // The submenu goes with the popup from here on.
        properties.Release();
    }
    Append(popup.Get(), mnuSummarizeVariable, kIdSummarizeVariable);
    AppendArray(popup.Get(), mnuUser, kIdUserFirst);
    return popup;
}

std::optional<MenuChoice> PropertyMenu::Popup(HWND owner, PopupTracker& tracker) const {
    if (!IsWindow(owner)) {
        throw std::system_error(ERROR_INVALID_WINDOW_HANDLE, std::system_category(),
                                "the popup menu has no window to belong to");
    }
    const UniqueMenu menu = Build();
    return MenuChoiceFromId(tracker.Track(owner, menu.Get()));
}

std::optional<MenuChoice> MenuChoiceFromId(UINT id) {
    switch (id) {
        case kIdWhatsThis:
            return MenuChoice{MenuCommand::WhatsThis};
        case kIdHelp:
            return MenuChoice{MenuCommand::Help};
        case kIdForeColor:
            return MenuChoice{MenuCommand::ForeColor};
        case kIdBackColor:
            return MenuChoice{MenuCommand::BackColor};
        case kIdPopupFont:
            return MenuChoice{MenuCommand::PopupFont};
        case kIdSummarizeVariable:
            return MenuChoice{MenuCommand::SummarizeVariable};
        default:
            break;
    }
    if (id >= kIdUserFirst && id < kIdUserPropertiesFirst) {
        return MenuChoice{MenuCommand::User, static_cast<int>(id - kIdUserFirst)};
    }
    if (id >= kIdUserPropertiesFirst && id < kIdEnd) {
        return MenuChoice{MenuCommand::UserProperties,
                          static_cast<int>(id - kIdUserPropertiesFirst)};
    }
    return std::nullopt;
}

bool IsListLike(std::wstring_view type_name) {
    static constexpr std::array<std::wstring_view, 5> kListLike = {
        L"Listbox", L"ListView", L"vsFlexGrid", L"SSTree", L"Strip"};
    return std::any_of(kListLike.begin(), kListLike.end(),
                       [&](std::wstring_view name) { return SameTextNoCase(type_name, name); });
}

bool SameTextNoCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace dsf2vemo::gui
