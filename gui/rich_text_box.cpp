#include "rich_text_box.h"

#include <richedit.h>

#include <stdexcept>
#include <string>

#include "error_description.h"
#include "pane_text.h"
#include "text_encoding.h"

namespace dsf2vemo::gui {

UniqueModule LoadRichEditLibrary() {
    UniqueModule library(LoadLibraryW(L"msftedit.dll"));
    if (!library) {
        ThrowLastError("the rich edit control (msftedit.dll) could not be loaded");
    }
    return library;
}

void SetDefaultCharFormat(HWND control) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET | CFM_WEIGHT | CFM_BOLD | CFM_ITALIC |
                    CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR | CFM_OFFSET;
    format.yHeight = 8 * 20;  // twips
    format.bCharSet = DEFAULT_CHARSET;
    format.wWeight = FW_NORMAL;
    format.dwEffects = CFE_AUTOCOLOR;  // and none of bold, italic, underline, strikeout
    format.yOffset = 0;
    lstrcpynW(format.szFaceName, L"MS Sans Serif", LF_FACESIZE);
    SendMessageW(control, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

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
    const DWORD style = WS_CHILD | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                        ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY | ES_NOHIDESEL |
                        // No drop target of its own: files dropped here go to the parent.
                        ES_NOOLEDRAGDROP;
    UniqueWindow control(CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"", style, bounds_.Left,
                                         bounds_.Top, bounds_.Width, bounds_.Height, parent_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id_)),
                                         GetModuleHandleW(nullptr), nullptr));
    if (!control) {
        ThrowLastError("the results pane could not be created");
    }
    const HWND window = control.Get();
    // No limit short of the largest echo (the default is 32,767 characters).
    SendMessageW(window, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(kCapacity));
    // A line width of 1 means no wrap at all: each matrix row stays one line.
    SendMessageW(window, EM_SETTARGETDEVICE, 0, 1);
    // The user can't type into it; the program's own text still goes in.
    SendMessageW(window, EM_SETREADONLY, TRUE, 0);
    SendMessageW(window, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
    SetDefaultCharFormat(window);
    return control;
}

void RichTextBox::ShowText(std::string_view text, std::size_t caret) {
    std::wstring wide = AnsiToWide(text);
    const std::size_t wide_caret =
        caret >= text.size() ? wide.size() : AnsiToWide(text.substr(0, caret)).size();
    ReplaceNuls(wide);

    UniqueWindow fresh = CreateControl();
    const HWND window = fresh.Get();
    SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    if (!wide.empty() && !SetWindowTextW(window, wide.c_str())) {
        throw std::runtime_error("the results pane did not take the text");
    }
    const auto position = static_cast<WPARAM>(RichEditOffset(wide, wide_caret));
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
