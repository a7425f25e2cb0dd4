#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base_window.h"
#include "color_font_dialog.h"
#include "control_properties.h"
#include "help_services.h"
#include "property_menu.h"
#include "win_help.h"

namespace dsf2vemo::testing {

// An entry of a list-like control; `selected` unset: the entry has no "Selected".
struct FakeListItem final : gui::ListItemProperties {
    std::optional<bool> selected;
    std::optional<bool> Selected() const override { return selected; }
};

// What a list-like control's "SelectedItem" gives.
enum class Selection { NoProperty, Nothing, ItemWithoutSelected, NotSelected, Selected };

// A control with exactly the properties that are set.
class FakeControl final : public gui::ControlProperties {
  public:
    explicit FakeControl(std::wstring type_name, Selection selection = Selection::NoProperty)
        : type_name_(std::move(type_name)) {
        if (selection != Selection::NoProperty) {
            selected_item.emplace();
        }
        if (selection >= Selection::ItemWithoutSelected) {
            selected_item->emplace();
        }
        if (selection >= Selection::NotSelected) {
            (*selected_item)->selected = selection == Selection::Selected;
        }
    }

    gui::ControlProperties* parent = nullptr;
    std::optional<std::int32_t> whats_this_id;
    std::optional<std::int32_t> help_context_id;
    // Unset: no "SelectedItem"; set to nullopt: nothing selected.
    std::optional<std::optional<FakeListItem>> selected_item;
    std::optional<COLORREF> fore_color;
    std::optional<COLORREF> back_color;
    std::optional<gui::FontAttributes> font;

    std::wstring TypeName() const override { return type_name_; }
    gui::ControlProperties* Parent() const override { return parent; }
    std::optional<std::int32_t> WhatsThisHelpID() const override { return whats_this_id; }
    std::optional<std::int32_t> HelpContextID() const override { return help_context_id; }
    std::optional<const gui::ListItemProperties*> SelectedItem() const override {
        if (!selected_item) {
            return std::nullopt;
        }
        return *selected_item ? &**selected_item : nullptr;
    }
    std::optional<COLORREF> ForeColor() const override { return fore_color; }
    bool SetForeColor(COLORREF color) override { return Set(fore_color, color); }
    std::optional<COLORREF> BackColor() const override { return back_color; }
    bool SetBackColor(COLORREF color) override { return Set(back_color, color); }
    std::optional<gui::FontAttributes> Font() const override { return font; }
    bool SetFont(const gui::FontAttributes& value) override { return Set(font, value); }

  private:
    template <class T>
    static bool Set(std::optional<T>& property, const T& value) {
        if (!property) {
            return false;
        }
        *property = value;
        return true;
    }

    std::wstring type_name_;
};

struct WinHelpRequest {
    HWND window = nullptr;
    std::string help_file;
    UINT command = 0;
    ULONG_PTR data = 0;
};

// Records help requests instead of starting the help viewer.
class RecordingWinHelp final : public gui::WinHelpCaller {
  public:
    BOOL Call(HWND window, const std::string& help_file, UINT command, ULONG_PTR data) override {
        requests.push_back({window, help_file, command, data});
        return TRUE;
    }
    std::vector<WinHelpRequest> requests;
};

// Colour and font dialogs answering from a script (unset answer: cancel); records what each
// opening was given.
class ScriptedColorFontDialog final : public gui::ColorFontDialog {
  public:
    void ShowColor(HWND, gui::ColorFontDialogState& state) override {
        color_openings.push_back(state);
        if (color_answer) {
            state.Color = *color_answer;
        }
    }
    void ShowFont(HWND, gui::ColorFontDialogState& state) override {
        font_openings.push_back(state);
        if (font_answer) {
            state.FontName = font_answer->Name;
            state.FontBold = font_answer->Bold;
            state.FontItalic = font_answer->Italic;
            state.FontSize = font_answer->Size;
        }
    }

    std::optional<COLORREF> color_answer;
    std::optional<gui::FontAttributes> font_answer;
    std::vector<gui::ColorFontDialogState> color_openings;
    std::vector<gui::ColorFontDialogState> font_openings;
};

struct MenuEntry {
    std::wstring path;  // "P&roperties/&ForeColor" for a submenu's item
    UINT id = 0;
    bool grayed = false;
};

// The items of a real menu, submenus' items after their own, separators as "-".
inline std::vector<MenuEntry> ReadMenu(HMENU menu, const std::wstring& prefix = L"") {
    std::vector<MenuEntry> entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 256;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
            ADD_FAILURE() << "menu item " << i << " cannot be read";
            continue;
        }
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        // Separators come back greyed; only an item can be disabled.
        MenuEntry entry{separator ? L"-" : prefix + text, info.wID,
                        !separator && (info.fState & MFS_GRAYED) != 0};
        entries.push_back(entry);
        if (info.hSubMenu != nullptr) {
            for (MenuEntry& sub : ReadMenu(info.hSubMenu, entry.path + L"/")) {
                entries.push_back(std::move(sub));
            }
        }
    }
    return entries;
}

// What a menu shows, one line per item; a greyed item ends in " (disabled)".
inline std::vector<std::wstring> DescribeMenu(HMENU menu) {
    std::vector<std::wstring> lines;
    for (const MenuEntry& entry : ReadMenu(menu)) {
        lines.push_back(entry.path + (entry.grayed ? L" (disabled)" : L""));
    }
    return lines;
}

// Looks at each popup instead of opening it and picks the scripted item by its path (empty or no
// script left: dismisses it).
class ScriptedPopupTracker final : public gui::PopupTracker {
  public:
    UINT Track(HWND owner, HMENU menu) override {
        owners.push_back(owner);
        shown.push_back(DescribeMenu(menu));
        if (picks.empty()) {
            return 0;
        }
        const std::wstring pick = picks.front();
        picks.pop_front();
        if (pick.empty()) {
            return 0;
        }
        for (const MenuEntry& entry : ReadMenu(menu)) {
            if (entry.path == pick && !entry.grayed) {
                return entry.id;
            }
        }
        ADD_FAILURE() << "the menu has no enabled item to pick";
        return 0;
    }

    std::deque<std::wstring> picks;
    std::vector<HWND> owners;
    std::vector<std::vector<std::wstring>> shown;
};

// The help services' seams, all recording or scripted: nothing opens for real.
struct ScriptedHelpSeams {
    RecordingWinHelp win_help;
    ScriptedColorFontDialog dialogs;
    ScriptedPopupTracker popup;

    gui::HelpSeams Seams() { return {win_help, dialogs, popup}; }
};

// A plain hidden top-level window to own popups in tests.
class OwnerWindow final : public gui::BaseWindow {
  public:
    OwnerWindow() {
        CreateTopLevel(L"dsf2vemo.TestOwner", nullptr, L"Owner", WS_OVERLAPPEDWINDOW, 0);
    }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
        return DefaultHandling(message, wparam, lparam);
    }
};

}  // namespace dsf2vemo::testing
