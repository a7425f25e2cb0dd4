#pragma once

#include <windows.h>

#include <string_view>

#include "base_window.h"
#include "unique_handles.h"

namespace dsf2vemo::gui {

// The help window: a resizable window owned by the main window, showing a fixed help text in a
// read-only rich edit control that covers its whole client area. The text is built anew each
// time the window is created.
class frmHelp final : public BaseWindow {
  public:
    frmHelp();
    ~frmHelp() override;

    // Creates the window owned by `owner` and centred over it, hidden; Form_Load has run when
    // this returns. Throws std::system_error when Windows refuses.
    void Create(HWND owner);
    // Shows the window and brings it forward.
    void Show();

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    void Form_Create();
    void Form_Load();
    void Form_Resize();
    void Form_DpiChanged(const RECT& suggested);

    void AddText(std::wstring_view text);
    void AddBoldText(std::wstring_view text);
    void Append(std::wstring_view text, bool bold);
    void SetIndent(int twips);

    void CenterOverOwner(UINT dpi);

    UniqueModule library_;
    // A child window: it goes with its parent, this handle doesn't own it.
    HWND RichTextBox1 = nullptr;
};

}  // namespace dsf2vemo::gui
