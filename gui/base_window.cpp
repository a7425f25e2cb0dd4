#include "base_window.h"

#include "error_description.h"

namespace dsf2vemo::gui {

void BaseWindow::CreateTopLevel(const wchar_t* class_name, HICON icon, const wchar_t* caption,
                                DWORD style, DWORD ex_style, HWND owner) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW window_class{};
    if (!GetClassInfoExW(instance, class_name, &window_class)) {
        window_class.cbSize = sizeof(window_class);
        window_class.lpfnWndProc = &BaseWindow::WindowProc;
        window_class.hInstance = instance;
        window_class.hIcon = icon;
        window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        window_class.lpszClassName = class_name;
        if (!RegisterClassExW(&window_class)) {
            ThrowLastError("the window class could not be registered");
        }
    }
    const HWND window =
        CreateWindowExW(ex_style, class_name, caption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, this);
    if (window == nullptr) {
        ThrowLastError("the window could not be created");
    }
    // window_ took the handle at WM_NCCREATE.
}

HWND BaseWindow::CreateChild(const wchar_t* window_class, const wchar_t* caption, DWORD style,
                             int id, HFONT font) const {
    const HWND child = CreateWindowExW(
        0, window_class, caption, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, Hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (child == nullptr) {
        ThrowLastError("a control of the window could not be created");
    }
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

void BaseWindow::MoveTo(const RECT& rect) const {
    SetWindowPos(Hwnd(), nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

BaseWindow::~BaseWindow() {
    if (window_) {
        // The derived object is gone already: its handler must not see the closing messages.
        SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, 0);
        window_.Reset();
    }
}

LRESULT BaseWindow::DefaultHandling(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(Hwnd(), message, wparam, lparam);
}

LRESULT CALLBACK BaseWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        auto* self = static_cast<BaseWindow*>(create->lpCreateParams);
        // The handle is known from here on, before CreateWindowExW returns.
        self->window_.Reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<BaseWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        // The window is gone: the owner must not destroy it again.
        self->window_.Release();
        return DefWindowProcW(window, message, wparam, lparam);
    }
    try {
        return self->HandleMessage(message, wparam, lparam);
    } catch (...) {
        // Nothing may unwind through user32. A window that fails while being created is not
        // created; any other failure ends only the message that raised it.
        OutputDebugStringW(L"dsf2vemo: a message handler failed\n");
        return message == WM_NCCREATE ? FALSE : (message == WM_CREATE ? -1 : 0);
    }
}

}  // namespace dsf2vemo::gui
