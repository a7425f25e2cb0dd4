#include "strace_runner.h"

#include "temp_dir.h"

namespace dsf2vemo::testing {

namespace {

const std::filesystem::path kStrace = "/usr/bin/strace";

}  // namespace

std::string StraceUnavailable() {
    const TempDir scratch;
    const ChildResult probe = RunChild(kStrace, {"-o", "/dev/null", "true"}, {}, scratch.Path());
    if (probe.exited && probe.exit_status == 0) {
        return "";
    }
    return "strace can't trace here: " + probe.err;
}

ChildResult RunInjecting(const std::filesystem::path& program,
                         const std::vector<std::string>& injections,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& scratch) {
    std::vector<std::string> strace_arguments = {"-o", "/dev/null", "-E",
                                                 "ASAN_OPTIONS=detect_leaks=0"};
    for (const std::string& injection : injections) {
        strace_arguments.insert(strace_arguments.end(), {"-e", "inject=" + injection});
    }
    strace_arguments.push_back(program.string());
    strace_arguments.insert(strace_arguments.end(), arguments.begin(), arguments.end());
    return RunChild(kStrace, strace_arguments, {}, scratch);
}

}  // namespace dsf2vemo::testing
