#pragma once

#include <windows.h>

#include "unique_handles.h"

namespace dsf2vemo::gui {

// The windows' default dialog font, 8-point MS Sans Serif, for `dpi`.
UniqueFont MakeDialogFont(UINT dpi);

// Places `window` with its outer size `size` in the middle of the work area of its monitor.
void CenterOnScreen(HWND window, SIZE size);

}  // namespace dsf2vemo::gui
