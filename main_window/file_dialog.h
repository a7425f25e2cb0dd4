#pragma once

#include <windows.h>

#include <string>

namespace dsf2vemo::gui {

// The state of the main window's one file dialog, cmdlg1: Input and Output both use it, so the
// file name carries over from one use to the next. Filter: "description|pattern" pairs joined
// by '|'. Flags: OFN_ flags. FilterIndex: the type shown, from 1; on OK, the type the user
// picked.
struct CommonDialog {
    std::wstring Filter;
    DWORD Flags = 0;
    std::wstring FileName;
    DWORD FilterIndex = 1;
};

// Shows the open-file dialog for `dialog`. On OK stores the chosen full path in
// dialog.FileName and returns true; on cancel, or when the dialog itself fails, returns false.
// The seam tests replace, so that no test waits on a modal dialog.
class FileDialog {
  public:
    virtual ~FileDialog() = default;
    virtual bool ShowOpen(HWND owner, CommonDialog& dialog) = 0;
};

// The classic common dialog, GetOpenFileNameW.
class OpenFileDialog final : public FileDialog {
  public:
    bool ShowOpen(HWND owner, CommonDialog& dialog) override;
};

// "a|b|c|d" as the dialog wants it: "a\0b\0c\0d\0\0".
std::wstring DialogFilter(const std::wstring& filter);

// `file_name`, with the extension of type `filter_index` of `filter` added when it has none
// ("study" with "*.json" picked gives "study.json"); unchanged when it has one or the type's
// pattern names no single extension.
std::wstring WithTypeExtension(const std::wstring& file_name, const std::wstring& filter,
                               DWORD filter_index);

}  // namespace dsf2vemo::gui
