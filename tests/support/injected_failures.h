#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "process_runner.h"

namespace dsf2vemo::testing {

// Runs `program` with the project's call-failure library preloaded, which makes the calls of each
// injection fail or raise a signal ("fsync:error=EIO:when=2", "rename:signal=SIGKILL:when=2",
// "rename:error=EIO:when=3..12"; the forms are in call_failures_shim.cpp), so that every failure
// point of a write can be tried without touching the disk or tracing the program.
ChildResult RunInjecting(const std::filesystem::path& program,
                         const std::vector<std::string>& injections,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& scratch, ChildLimits limits = {});

}  // namespace dsf2vemo::testing
