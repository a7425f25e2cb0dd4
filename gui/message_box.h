#pragma once

#include <windows.h>

#include <string>

namespace dsf2vemo::gui {

// Shows a modal message box; the seam tests replace.
class MessageBoxer {
  public:
    virtual ~MessageBoxer() = default;
    virtual int Show(HWND owner, const std::wstring& text, const std::wstring& caption,
                     UINT style) = 0;
};

// MessageBoxW itself.
class SystemMessageBox final : public MessageBoxer {
  public:
    int Show(HWND owner, const std::wstring& text, const std::wstring& caption,
             UINT style) override {
        return MessageBoxW(owner, text.c_str(), caption.c_str(), style);
    }
};

}  // namespace dsf2vemo::gui
