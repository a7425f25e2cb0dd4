#pragma once

#include <windows.h>

namespace dsf2vemo::gui {

// Places `window` with its outer size `size` in the middle of the work area of its monitor, or,
// when `over` is given, in the middle of that window, kept on the work area of that window's
// monitor as far as it fits.
void CenterWindow(HWND window, SIZE size, HWND over = nullptr);

}  // namespace dsf2vemo::gui
