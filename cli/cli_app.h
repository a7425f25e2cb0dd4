#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "separators.h"

namespace dsf2vemo::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitConversionFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs the command line converter on `arguments` (UTF-8, without the program name). Defaults for
// the separators come from `locale`. Returns the exit status; never calls exit().
int Run(const std::vector<std::string>& arguments, const Separators& locale, std::ostream& out,
        std::ostream& err);

}  // namespace dsf2vemo::cli
