#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace dsf2vemo::cli {

// Why the process's standard input can't be read as a data system file, or nothing where it can
// (a pipe, a file): it is a terminal, where the program would wait for typed bytes, a device, a
// folder, or closed. On Windows it is also put into binary mode, so that no byte is translated.
std::optional<std::string> StandardInputRefusal();

// A path naming the file that standard input reads where the system has one (/dev/stdin), so
// that an output that would write over it is refused; empty where it has none.
std::filesystem::path StandardInputPath();

}  // namespace dsf2vemo::cli
