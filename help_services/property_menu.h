#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "unique_handles.h"

namespace dsf2vemo::gui {

inline void DestroyMenuHandle(HMENU menu) {
    DestroyMenu(menu);
}
using UniqueMenu = UniqueHandle<HMENU, DestroyMenuHandle>;

// One item of the popup menu as designed. A caption of "-" makes a separator; a hidden item is
// left out of the menu altogether.
struct MenuItemState {
    std::wstring Caption;
    bool Visible = true;
    bool Enabled = true;
};

enum class MenuCommand {
    WhatsThis,
    Help,
    ForeColor,
    BackColor,
    PopupFont,
    SummarizeVariable,
    User,            // element `Index` of mnuUser
    UserProperties,  // element `Index` of mnuUserProperties
};

struct MenuChoice {
    MenuCommand Command = MenuCommand::WhatsThis;
    int Index = 0;

    bool operator==(const MenuChoice&) const = default;
};

// Opens a built menu and returns the identifier of the chosen item, 0 when none was chosen.
// The seam tests replace where they only look at the menu.
class PopupTracker {
  public:
    virtual ~PopupTracker() = default;
    virtual UINT Track(HWND owner, HMENU menu) = 0;
};

// TrackPopupMenuEx at the mouse position, items chosen with either button; returns once the menu
// has closed.
class SystemPopupTracker final : public PopupTracker {
  public:
    UINT Track(HWND owner, HMENU menu) override;
};

// The help services' popup menu: its items with their captions, visibility and state, and the
// two arrays of items callers add, which grow on demand and go back to their design when the
// services' Form_Load runs.
struct PropertyMenu {
    // Most elements either array can hold.
    static constexpr std::size_t kMaxUserItems = 0x4000;

    // The top item is never shown itself, so the form has no menu bar; only its items pop up.
    MenuItemState mnuPopup{L"xx", false};
    MenuItemState mnuWhatsThis{L"&What's This?"};
    MenuItemState mnuHelp{L"&Help", false};
    MenuItemState mnuDummy1{L"-"};
    MenuItemState mnuProperties{L"P&roperties"};
    MenuItemState mnuForeColor{L"&ForeColor"};
    MenuItemState mnuBackColor{L"&BackColor"};
    MenuItemState mnuPopupFont{L"F&ont"};
    std::vector<MenuItemState> mnuUserProperties{{L"User P 0"}};
    MenuItemState mnuSummarizeVariable{L"&Summarize Variable"};
    std::vector<MenuItemState> mnuUser{{L"User 0"}};

    // The visible items of mnuPopup as a real popup menu, "P&roperties" as its submenu.
    UniqueMenu Build() const;

    // Builds the menu, lets `tracker` open it for `owner` and returns the item chosen. Throws
    // std::system_error when the menu cannot be made or `owner` is no window.
    std::optional<MenuChoice> Popup(HWND owner, PopupTracker& tracker) const;
};

// What the item with identifier `id` of a built menu stands for.
std::optional<MenuChoice> MenuChoiceFromId(UINT id);

// Whether controls of this type name get the separator and the "Properties" submenu.
bool IsListLike(std::wstring_view type_name);

// Text equality without regard to letter case, as type names are compared.
bool SameTextNoCase(std::wstring_view a, std::wstring_view b);

}  // namespace dsf2vemo::gui
