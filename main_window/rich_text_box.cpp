#include "rich_text_box.h"

#include <richedit.h>

#include <stdexcept>
#include <string>

#include "pane_text.h"
#include "wait_cursor.h"

namespace dsf2vemo::gui {

RichTextBox::RichTextBox(HWND parent, int control_id, HWND insert_after)
    : library_(LoadRichEditLibrary()),
      parent_(parent),
      control_id_(control_id),
      insert_after_(insert_after) {
    control_ = CreateControl();
    SetWindowPos(control_.Get(), insert_after_, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

UniqueWindow RichTextBox::CreateControl() const {
    const DWORD style = WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                        ES_AUTOHSCROLL | ES_READONLY | ES_NOHIDESEL |
                        // No drop target of its own: files dropped here go to the parent.
                        ES_NOOLEDRAGDROP;
    // No wrap: each matrix row stays one line.
    UniqueWindow control(CreateRichEdit(parent_, control_id_, style, bounds_, Wrap::Never,
                                        COLOR_BTNFACE, "the results pane could not be created"));
    // The user can't type into it; the program's own text still goes in.
    SendMessageW(control.Get(), EM_SETREADONLY, TRUE, 0);
    return control;
}

void RichTextBox::ShowText(std::span<const std::string_view> pieces, std::size_t caret) {
    // Under Wine the control can take minutes over a large text.
    const WaitCursor wait;
    const ControlText<wchar_t> text = PaneControlText(pieces, caret);

    UniqueWindow fresh = CreateControl();
    const HWND window = fresh.Get();
    SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    if (!text.text.empty() && !SetWindowTextW(window, text.text.c_str())) {
        throw std::runtime_error("the results pane did not take the text");
    }
    const auto position = static_cast<WPARAM>(text.caret);
    SendMessageW(window, EM_SETSEL, position, static_cast<LPARAM>(position));
    SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    // Into the old pane's place in the tab order, then shown; the old pane goes.
    SetWindowPos(window, insert_after_, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    control_ = std::move(fresh);
    InvalidateRect(window, nullptr, TRUE);
}

void RichTextBox::Move(const PixelRect& bounds) {
    bounds_ = bounds;
    MoveWindow(control_.Get(), bounds.Left, bounds.Top, bounds.Width, bounds.Height, TRUE);
}

}  // namespace dsf2vemo::gui
