#pragma once

#include <filesystem>

namespace dsf2vemo::gui {

// The running program's executable, and the directory it lies in.
std::filesystem::path ProgramPath();
std::filesystem::path ProgramDirectory();

}  // namespace dsf2vemo::gui
