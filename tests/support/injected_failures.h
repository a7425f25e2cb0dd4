#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "process_runner.h"

namespace dsf2vemo::testing {

// Why strace can't trace here (a container may forbid it), or empty where it can.
std::string StraceUnavailable();

// Runs `program` under strace, which makes the system calls of each injection fail or raise a
// signal, as strace's `-e inject=` takes them ("fsync:error=EIO:when=2"), so that every failure
// point of a write can be tried without touching the disk. LeakSanitizer can't work under strace
// and is turned off.
ChildResult RunInjecting(const std::filesystem::path& program,
                         const std::vector<std::string>& injections,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& scratch);

}  // namespace dsf2vemo::testing
