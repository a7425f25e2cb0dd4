#pragma once

#include <windows.h>

#include <array>
#include <string>

namespace dsf2vemo::gui {

// The state of the help services' common dialog, comdlg. The colour and font dialogs open from
// it and write the user's choice back into it; a cancelled dialog leaves it as it was.
struct ColorFontDialogState {
    DWORD Flags = 0;  // CC_ flags for the colour dialog, CF_ flags for the font dialog
    COLORREF Color = 0;
    std::wstring FontName;
    bool FontBold = false;
    bool FontItalic = false;
    float FontSize = 8;  // points
    // The dialog's sixteen custom colours, kept from one opening to the next.
    std::array<COLORREF, 16> CustomColors{};
};

// Shows the colour or the font dialog for `state`, modally. Cancelling is silent; a dialog that
// cannot open throws std::runtime_error. The seam tests replace.
class ColorFontDialog {
  public:
    virtual ~ColorFontDialog() = default;
    virtual void ShowColor(HWND owner, ColorFontDialogState& state) = 0;
    virtual void ShowFont(HWND owner, ColorFontDialogState& state) = 0;
};

// ChooseColorW and ChooseFontW.
class SystemColorFontDialog final : public ColorFontDialog {
  public:
    void ShowColor(HWND owner, ColorFontDialogState& state) override;
    void ShowFont(HWND owner, ColorFontDialogState& state) override;
};

}  // namespace dsf2vemo::gui
