#pragma once

#include <windows.h>

#include "unique_handles.h"

namespace dsf2vemo::gui {

// A top-level window whose messages go to a member function. The window procedure stores the
// object at WM_NCCREATE and forgets it at WM_NCDESTROY; no exception ever leaves it.
class BaseWindow {
  public:
    BaseWindow() = default;
    virtual ~BaseWindow();
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    HWND Hwnd() const { return window_.Get(); }

  protected:
    // Registers the class on first use (idempotent) and creates the window, owned by `owner`
    // when one is given. Throws std::system_error when Windows refuses.
    void CreateTopLevel(const wchar_t* class_name, HICON icon, const wchar_t* caption, DWORD style,
                        DWORD ex_style, HWND owner = nullptr);

    // A visible child control of this window in `font`. Throws std::system_error when Windows
    // refuses.
    HWND CreateChild(const wchar_t* window_class, const wchar_t* caption, DWORD style, int id,
                     HFONT font) const;

    // Moves and sizes the window to `rect` (screen pixels), as a DPI change suggests.
    void MoveTo(const RECT& rect) const;

    virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
    LRESULT DefaultHandling(UINT message, WPARAM wparam, LPARAM lparam);

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    UniqueWindow window_;
};

}  // namespace dsf2vemo::gui
