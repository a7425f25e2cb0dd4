#pragma once

#include <windows.h>

#include <string>

namespace dsf2vemo::gui {

// WinHelp commands the help services give.
inline constexpr UINT kHelpContext = HELP_CONTEXT;            // 1: a topic of the file
inline constexpr UINT kHelpContents = HELP_CONTENTS;          // 3: the file's contents
inline constexpr UINT kHelpContextPopup = HELP_CONTEXTPOPUP;  // 8: a topic in a popup window

// Hands a help request to WinHelp. The seam tests replace: WinHelp starts the help viewer, which
// for a missing file shows a modal box and waits for an answer.
class WinHelpCaller {
  public:
    virtual ~WinHelpCaller() = default;
    // `help_file` in the ANSI code page, as WinHelpA takes it.
    virtual BOOL Call(HWND window, const std::string& help_file, UINT command, ULONG_PTR data) = 0;
};

// user32's WinHelpA itself.
class SystemWinHelp final : public WinHelpCaller {
  public:
    BOOL Call(HWND window, const std::string& help_file, UINT command, ULONG_PTR data) override {
        return WinHelpA(window, help_file.c_str(), command, data);
    }
};

}  // namespace dsf2vemo::gui
