#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "standard_input.h"

namespace dsf2vemo::cli {

std::optional<std::string> StandardInputRefusal() {
    struct stat status {};
    if (fstat(STDIN_FILENO, &status) != 0) {
        return errno == EBADF ? std::string("standard input is closed")
                              : std::generic_category().message(errno);
    }
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) {
        return isatty(STDIN_FILENO) != 0
                   ? "standard input is a terminal, not a data system file; pipe one in or "
                     "redirect it with <"
                   : "standard input is a device, not a data system file";
    }
    if (S_ISDIR(status.st_mode)) {
        return "standard input is a folder, not a file";
    }
    // A pipe, a file or a socket: read as it comes.
    return std::nullopt;
}

std::filesystem::path StandardInputPath() {
    return "/dev/stdin";
}

}  // namespace dsf2vemo::cli
