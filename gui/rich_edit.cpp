#include "rich_edit.h"

#include <richedit.h>

#include "error_description.h"

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

HWND CreateRichEdit(HWND parent, int control_id, DWORD style, const PixelRect& bounds, Wrap wrap,
                    int background, const char* what) {
    const HWND control =
        CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"", WS_CHILD | style, bounds.Left,
                        bounds.Top, bounds.Width, bounds.Height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)),
                        GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr) {
        ThrowLastError(what);
    }
    SendMessageW(control, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(kRichEditCapacity));
    // A target line width of 0 wraps at the control's width; 1 means no wrap at all.
    SendMessageW(control, EM_SETTARGETDEVICE, 0, wrap == Wrap::AtWidth ? 0 : 1);
    SendMessageW(control, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(background)));
    SetDefaultCharFormat(control);
    return control;
}

}  // namespace dsf2vemo::gui
