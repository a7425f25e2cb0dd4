#pragma once

#include <filesystem>
#include <vector>

namespace dsf2vemo::gui {

// The files named on the program's command line (`command_line` as GetCommandLineW gives it, the
// program's own name first), made absolute against the current directory. This is how Explorer
// hands over a file dropped onto the program's icon or opened with it.
std::vector<std::filesystem::path> CommandLineFiles(const wchar_t* command_line);

}  // namespace dsf2vemo::gui
