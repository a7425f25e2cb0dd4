#pragma once

#include <windows.h>

#include <cstddef>

#include "dpi.h"
#include "unique_handles.h"

namespace dsf2vemo::gui {

// The most characters a rich edit control of the program holds (the control's own default is
// 32,767).
inline constexpr std::size_t kRichEditCapacity = 0x7FFFFFFE;

// Loads the rich edit control's library (msftedit.dll, class MSFTEDIT_CLASS) for as long as the
// handle lives. Throws std::system_error on failure.
UniqueModule LoadRichEditLibrary();

// Sets the whole default character format of a rich edit control: MS Sans Serif 8 pt, regular
// weight, no effects, the window text colour. Every part is set: a part left out keeps what the
// control took from its initial font, which under Wine is bold.
void SetDefaultCharFormat(HWND control);

enum class Wrap { AtWidth, Never };

// A rich edit control as both text boxes of the program are made: a sunken child of `parent`
// with `style` (WS_CHILD is implied) at `bounds`, holding up to kRichEditCapacity characters,
// wrapping as `wrap` says, on the system colour `background`, in the default character format.
// Its library must be loaded. The control goes with its parent. Throws std::system_error naming
// `what` when Windows refuses.
HWND CreateRichEdit(HWND parent, int control_id, DWORD style, const PixelRect& bounds, Wrap wrap,
                    int background, const char* what);

}  // namespace dsf2vemo::gui
