#pragma once

#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "separators.h"

namespace dsf2vemo::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitConversionFailed = 1;
inline constexpr int kExitUsage = 2;

// What the input "-" reads.
struct StandardInput {
    std::istream& stream;
    // Why `stream` can't be read as a data system file (a terminal, a device), if it can't.
    std::optional<std::string> refusal;
    // The same file by a path (/dev/stdin), to refuse an output that would write over it.
    std::filesystem::path path;
};

// Runs the command line converter on `arguments` (UTF-8, without the program name). Defaults for
// the separators come from `locale`. Returns the exit status; never calls exit().
int Run(const std::vector<std::string>& arguments, const Separators& locale, StandardInput in,
        std::ostream& out, std::ostream& err);
// Run for a caller with no standard input to give: "-" is refused.
int Run(const std::vector<std::string>& arguments, const Separators& locale, std::ostream& out,
        std::ostream& err);

}  // namespace dsf2vemo::cli
