#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <string_view>

#include "dpi.h"
#include "rich_edit.h"
#include "unique_handles.h"

namespace dsf2vemo::gui {

// The results pane: a read-only rich edit control (RICHEDIT50W) with no wrap, the button-face
// background and MS Sans Serif 8 pt. Each new text goes into a freshly made control that then
// replaces the old one: Wine's rich edit control clears a large text far more slowly than it
// destroys the control, and sets a text fastest into an empty, hidden one with redraw off.
class RichTextBox {
  public:
    // The most characters the control holds.
    static constexpr std::size_t kCapacity = kRichEditCapacity;

    // Loads msftedit.dll and makes the empty pane. Throws std::system_error on failure.
    RichTextBox(HWND parent, int control_id, HWND insert_after);

    HWND Hwnd() const { return control_.Get(); }

    // Shows `pieces` one after the other (single-byte text in the ANSI code page, CR LF line
    // ends) with the caret at byte offset `caret` of them, under the wait cursor.
    void ShowText(std::span<const std::string_view> pieces, std::size_t caret);
    void ShowText(std::string_view text, std::size_t caret) {
        ShowText(std::span<const std::string_view>(&text, 1), caret);
    }

    void Move(const PixelRect& bounds);

  private:
    UniqueWindow CreateControl() const;

    UniqueModule library_;
    HWND parent_;
    int control_id_;
    HWND insert_after_;
    PixelRect bounds_;
    UniqueWindow control_;
};

}  // namespace dsf2vemo::gui
