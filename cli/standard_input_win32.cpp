#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "standard_input.h"

namespace dsf2vemo::cli {

std::optional<std::string> StandardInputRefusal() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) {
        return "standard input is closed";
    }
    // A console, NUL and the COM ports are character devices.
    if (GetFileType(input) == FILE_TYPE_CHAR) {
        return "standard input is a console or a device, not a data system file; pipe one in or "
               "redirect it with <";
    }
    if (_setmode(_fileno(stdin), _O_BINARY) == -1) {
        return "standard input can't be switched to binary reading";
    }
    return std::nullopt;
}

std::filesystem::path StandardInputPath() {
    return {};
}

}  // namespace dsf2vemo::cli
