#include "color_font_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace dsf2vemo::gui {

namespace {

// Cancelling leaves no extended error; anything else means the dialog never opened.
void ThrowUnlessCancelled(const char* dialog) {
    if (const DWORD error = CommDlgExtendedError(); error != 0) {
        throw std::runtime_error(std::string("the ") + dialog +
                                 " dialog could not be shown (error " + std::to_string(error) +
                                 ")");
    }
}

// The screen's pixels per logical inch: what the font dialog converts point sizes with.
int ScreenPixelsPerInch() {
    const HDC screen = GetDC(nullptr);
    const int pixels = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return pixels > 0 ? pixels : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

void SystemColorFontDialog::ShowColor(HWND owner, ColorFontDialogState& state) {
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.rgbResult = state.Color;
    dialog.lpCustColors = state.CustomColors.data();
    dialog.Flags = state.Flags;
    if (ChooseColorW(&dialog)) {
        state.Color = dialog.rgbResult;
    } else {
        ThrowUnlessCancelled("colour");
    }
}

void SystemColorFontDialog::ShowFont(HWND owner, ColorFontDialogState& state) {
    const int pixels_per_inch = ScreenPixelsPerInch();
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(
        std::lround(state.FontSize * static_cast<float>(pixels_per_inch) / 72.0f));
    font.lfWeight = state.FontBold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = state.FontItalic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    // A face name longer than the dialog takes is cut to its 31 characters.
    const std::size_t name_length =
        std::min(state.FontName.size(), static_cast<std::size_t>(LF_FACESIZE - 1));
    std::copy_n(state.FontName.begin(), name_length, font.lfFaceName);

    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpLogFont = &font;
    // The dialog opens on the font it is given.
    dialog.Flags = state.Flags | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontW(&dialog)) {
        ThrowUnlessCancelled("font");
        return;
    }
    state.FontName = font.lfFaceName;
    state.FontBold = font.lfWeight >= FW_BOLD;
    state.FontItalic = font.lfItalic != 0;
    state.FontSize = static_cast<float>(dialog.iPointSize) / 10.0f;
}

}  // namespace dsf2vemo::gui
