#pragma once

#include <windows.h>

#include "twip_rect.h"

namespace dsf2vemo::gui {

inline constexpr float kTwipsPerInch = 1440;

struct PixelRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// The window's dots per inch: GetDpiForWindow where Windows has it, the screen's otherwise.
UINT WindowDpi(HWND window);

int TwipsToPixels(float twips, UINT dpi);
float PixelsToTwips(int pixels, UINT dpi);
PixelRect ToPixels(const layout::TwipRect& rect, UINT dpi);

// Moves a child control to its place in twips, at `dpi`.
void PlaceInTwips(HWND control, const layout::TwipRect& twips, UINT dpi);

// The outer size of a window with this style whose client area is `client_width` by
// `client_height` pixels at `dpi`.
SIZE WindowSizeForClient(int client_width, int client_height, DWORD style, DWORD ex_style,
                         UINT dpi);

}  // namespace dsf2vemo::gui
