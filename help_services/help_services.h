#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "color_font_dialog.h"
#include "control_properties.h"
#include "property_menu.h"
#include "win_help.h"

namespace dsf2vemo::gui {

// The buttons of a mouse event as MouseUp handlers get them, and the bits of the `Button` masks
// the services take.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kMiddleButton = 4;

// What the property menu's commands tell the form using the services, each after its command
// ran. Raised on the caller's thread before the popup call returns; unset ones are skipped.
struct HelpServiceEvents {
    std::function<void()> FontChanged;
    std::function<void()> ForeColorChanged;
    std::function<void()> BackColorChanged;
    std::function<void()> SummarizeVariableClick;
};

// What the help services reach outside the program through: seams tests replace.
struct HelpSeams {
    WinHelpCaller& win_help;
    ColorFontDialog& dialogs;
    PopupTracker& popup;
};

// The real WinHelp, colour and font dialogs and popup menu, for the program.
struct SystemHelpSeams {
    SystemWinHelp win_help;
    SystemColorFontDialog dialogs;
    SystemPopupTracker popup;

    HelpSeams Seams() { return {win_help, dialogs, popup}; }
};

// The help services any form can use: a right-button popup menu for a control or a form, with
// "What's This?" help and context help from WinHelp files, and commands that change a list-like
// control's colours and font. Each popup belongs to the window that asks for it, the top-level
// window of the control (or of its form, for a control without a window of its own); that window
// also owns the help windows and dialogs the popup's commands open.
//
// Help IDs from 30000 up are topics of the shared file "vemoapps.hlp", smaller ones of the
// specific help file; every help file is looked for in the program's folder. `Button` arguments
// are masks of the buttons above.
class HelpServices {
  public:
    explicit HelpServices(HelpSeams seams);

    // Each new window of the form starts its menu from the design, the callers' items hidden.
    void Form_Load();

    // The control the popup menu was last opened for; the menu commands act on it. Not owned:
    // whoever sets it keeps the control alive while it is set.
    ControlProperties* WhatsThisControl = nullptr;
    HelpServiceEvents Events;

    // Opens the popup menu for `form` itself. Returns 0 in every case; failures are passed on.
    std::int16_t FormNotWhatsThis(ControlProperties& form, std::int16_t Button);
    // Opens the popup menu for `control` with the caller's items of `Mess` added: entries up to
    // the first empty one at the top level, later non-empty ones at the end of "Properties".
    // Returns -2 without the right button, otherwise the item picked: k for the k-th top-level
    // item, 100 + k for the k-th "Properties" item, -1 for none. More than
    // PropertyMenu::kMaxUserItems items for either part throw std::length_error before anything
    // shows.
    std::int16_t CustomWhatsThis(ControlProperties& control, std::int16_t Button,
                                 std::span<const std::wstring> Mess);
    // Opens the popup menu for `control`: 0 once it has closed and the chosen command ran, -1
    // without the right button. Every failure on the way is passed over.
    std::int16_t NotWhatsThis(ControlProperties& control, std::int16_t Button);

    std::wstring HelpFileFromHelpID(std::int32_t HelpID) const;
    void ShowWhatsThisHelp(std::int32_t HelpID);
    // WinHelpA with the path in the ANSI code page; its result, which no caller looks at.
    std::int32_t WinHelpWithMsg(HWND hwnd, std::wstring_view lpHelpFile, UINT wCommand,
                                std::int32_t dwData);

    // The help file for IDs below 30000; the program's own help file while none is set.
    std::wstring SpecificHelpFile() const;
    void SetSpecificHelpFile(std::wstring vNewValue);

  private:
    using ColorGetter = std::optional<COLORREF> (ControlProperties::*)() const;
    using ColorSetter = bool (ControlProperties::*)(COLORREF);

    void OpenPopup();
    void RunCommand(const MenuChoice& choice);
    void ChangeColor(const char* property, ColorGetter get, ColorSetter set,
                     const std::function<void()>& changed);
    static void Raise(const std::function<void()>& event);

    void mnuWhatsThis_Click();
    void mnuHelp_Click();
    void mnuForeColor_Click();
    void mnuBackColor_Click();
    void mnuPopupFont_Click();
    void mnuSummarizeVariable_Click();
    void mnuUser_Click(int Index);
    void mnuUserProperties_Click(int Index);

    HelpSeams seams_;

    PropertyMenu menu_;
    ColorFontDialogState comdlg;
    // The form whose help context ID Help falls back on.
    ControlProperties* PopupForm = nullptr;
    // The window that asked for the last popup.
    HWND PopupOwner = nullptr;
    std::int16_t PopupChoice = -1;
    std::wstring specific_help_file_;
};

}  // namespace dsf2vemo::gui
