#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace dsf2vemo::testing {

// Limits set in the child before it starts the program.
struct ChildLimits {
    std::optional<unsigned long> address_space_bytes;  // RLIMIT_AS
    unsigned long cpu_seconds = 2;                     // RLIMIT_CPU
    // Run as the unprivileged user "nobody" (uid and gid 65534); needs root.
    bool drop_privileges = false;
    // With drop_privileges: the groups it is in besides its own.
    std::vector<unsigned> groups;
    // With drop_privileges: only the effective user and group become nobody's.
    bool effective_only = false;
    // Variables set for the program ("NAME=value"), before the test's own of the same name.
    std::vector<std::string> environment;
    // A signal the program starts with ignored, as `nohup` starts it with SIGHUP; 0 for none.
    int ignored_signal = 0;
};

// How the child ended and what it used, as the kernel reports it.
struct ChildResult {
    bool exited = false;           // ended by exit(), not by a signal
    int exit_status = -1;          // valid when exited
    int signal = 0;                // valid when !exited
    bool could_not_start = false;  // the child failed before running the program
    std::string out;
    std::string err;
    long max_rss_kb = 0;
    double cpu_seconds = 0;
};

// Starts `program` with `arguments` in a child process under `limits`, with standard output and
// error going to files in `scratch`, and returns its process id at once.
int StartChild(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const ChildLimits& limits, const std::filesystem::path& scratch);

// Waits for a child from StartChild with the same `scratch` and says how it ended.
ChildResult WaitForChild(int pid, const std::filesystem::path& scratch);

// StartChild, then WaitForChild.
ChildResult RunChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments, const ChildLimits& limits,
                     const std::filesystem::path& scratch);

}  // namespace dsf2vemo::testing
