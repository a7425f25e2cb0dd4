#include "mouse_events.h"

#include <windowsx.h>

#include "help_services.h"

namespace dsf2vemo::gui {

namespace {

std::int16_t ButtonOfRelease(UINT message) {
    switch (message) {
        case WM_LBUTTONUP:
            return kLeftButton;
        case WM_RBUTTONUP:
            return kRightButton;
        case WM_MBUTTONUP:
            return kMiddleButton;
        default:
            return 0;
    }
}

// The second press of a quick pair comes as a double-click: a press all the same.
bool IsButtonPress(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}

// Whether a mouse position in a control's client coordinates lies on the control.
bool IsInside(HWND control, LPARAM position) {
    RECT client{};
    GetClientRect(control, &client);
    const POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    return PtInRect(&client, point) != 0;
}

}  // namespace

MouseEvents ButtonMouseEvents(UINT message) {
    return {.MouseMove = message == WM_MOUSEMOVE, .MouseUp = ButtonOfRelease(message)};
}

MouseEvents LabelMouseEvents(HWND label, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_MOUSEMOVE) {
        return {.MouseMove = true};
    }
    if (IsButtonPress(message)) {
        SetCapture(label);
        return {};
    }
    const std::int16_t button = ButtonOfRelease(message);
    if (button == 0 || GetCapture() != label) {
        return {};
    }
    constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
    if ((wparam & kAnyButton) == 0) {
        ReleaseCapture();
    }
    return {.MouseUp = button, .Click = IsInside(label, lparam), .Taken = true};
}

}  // namespace dsf2vemo::gui
