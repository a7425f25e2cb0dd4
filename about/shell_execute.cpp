#include "shell_execute.h"

#include <shellapi.h>

namespace dsf2vemo::gui {

void SystemShellExecutor::Execute(HWND window, const std::wstring& operation,
                                  const std::wstring& file, const std::wstring& directory,
                                  int show_command) {
    // A failure to open the page is not the user's concern: nothing is reported.
    ShellExecuteW(window, operation.c_str(), file.c_str(), nullptr, directory.c_str(),
                  show_command);
}

}  // namespace dsf2vemo::gui
