#include "dpi.h"

#include <cmath>

namespace dsf2vemo::gui {

namespace {

// Looked up at run time: both arrived with Windows 10 version 1607.
template <class Function>
Function User32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

UINT ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

UINT WindowDpi(HWND window) {
    static const auto get_dpi_for_window =
        User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (get_dpi_for_window != nullptr && window != nullptr) {
        const UINT dpi = get_dpi_for_window(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    return ScreenDpi();
}

int TwipsToPixels(float twips, UINT dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

float PixelsToTwips(int pixels, UINT dpi) {
    return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpi);
}

PixelRect ToPixels(const layout::TwipRect& rect, UINT dpi) {
    return {TwipsToPixels(rect.Left, dpi), TwipsToPixels(rect.Top, dpi),
            TwipsToPixels(rect.Width, dpi), TwipsToPixels(rect.Height, dpi)};
}

void PlaceInTwips(HWND control, const layout::TwipRect& twips, UINT dpi) {
    const PixelRect pixels = ToPixels(twips, dpi);
    MoveWindow(control, pixels.Left, pixels.Top, pixels.Width, pixels.Height, TRUE);
}

SIZE WindowSizeForClient(int client_width, int client_height, DWORD style, DWORD ex_style,
                         UINT dpi) {
    static const auto adjust_for_dpi =
        User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, client_width, client_height};
    if (adjust_for_dpi != nullptr) {
        adjust_for_dpi(&rect, style, FALSE, ex_style, dpi);
    } else {
        AdjustWindowRectEx(&rect, style, FALSE, ex_style);
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace dsf2vemo::gui
