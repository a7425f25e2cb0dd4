#include "dialog_font.h"

namespace dsf2vemo::gui {

UniqueFont MakeDialogFont(UINT dpi) {
    return UniqueFont(CreateFontW(-MulDiv(8, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE,
                                  FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                  L"MS Sans Serif"));
}

UniqueFont SetDialogFont(std::initializer_list<HWND> controls, UINT dpi) {
    UniqueFont font = MakeDialogFont(dpi);
    for (const HWND control : controls) {
        if (control != nullptr) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
        }
    }
    return font;
}

}  // namespace dsf2vemo::gui
