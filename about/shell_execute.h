#pragma once

#include <windows.h>

#include <string>

namespace dsf2vemo::gui {

// Hands a document or address to the shell, as ShellExecuteW does, with no parameters; the
// result is not reported. The seam tests replace, so that no test opens a browser.
class ShellExecutor {
  public:
    virtual ~ShellExecutor() = default;
    virtual void Execute(HWND window, const std::wstring& operation, const std::wstring& file,
                         const std::wstring& directory, int show_command) = 0;
};

// ShellExecuteW itself.
class SystemShellExecutor final : public ShellExecutor {
  public:
    void Execute(HWND window, const std::wstring& operation, const std::wstring& file,
                 const std::wstring& directory, int show_command) override;
};

}  // namespace dsf2vemo::gui
