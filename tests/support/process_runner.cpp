#include "process_runner.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

#include "dsf_builder.h"

namespace dsf2vemo::testing {

namespace {

// Exit statuses of a child that never reached the program.
constexpr int kSetupFailed = 125;
constexpr int kExecFailed = 127;

constexpr uid_t kNobody = 65534;

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void StartInChild(const char* program, char* const* argv, char* const* envp,
                               const char* out_path, const char* err_path,
                               const ChildLimits& limits, const std::vector<gid_t>& groups) {
    const int out = open(out_path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0) {
        _exit(kSetupFailed);
    }
    const int null = open("/dev/null", O_RDONLY);
    if (null < 0 || dup2(null, STDIN_FILENO) < 0) {
        _exit(kSetupFailed);
    }
    // setegid and seteuid leave the real ids root's, as a set-user-ID program runs.
    if (limits.drop_privileges &&
        (setgroups(groups.size(), groups.data()) != 0 ||
         (limits.effective_only ? setegid(kNobody) : setgid(kNobody)) != 0 ||
         (limits.effective_only ? seteuid(kNobody) : setuid(kNobody)) != 0)) {
        _exit(kSetupFailed);
    }
    const rlimit cpu{limits.cpu_seconds, limits.cpu_seconds};
    if (setrlimit(RLIMIT_CPU, &cpu) != 0) {
        _exit(kSetupFailed);
    }
    if (limits.address_space_bytes) {
        const rlimit memory{*limits.address_space_bytes, *limits.address_space_bytes};
        if (setrlimit(RLIMIT_AS, &memory) != 0) {
            _exit(kSetupFailed);
        }
    }
    // A test run from a background job would hand on ignored interrupts; the program gets the
    // usual ones, and dumps no core when a signal ends it.
    for (const int interrupt : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ}) {
        if (signal(interrupt, interrupt == limits.ignored_signal ? SIG_IGN : SIG_DFL) == SIG_ERR) {
            _exit(kSetupFailed);
        }
    }
    sigset_t none;
    sigemptyset(&none);
    const rlimit no_core{0, 0};
    if (sigprocmask(SIG_SETMASK, &none, nullptr) != 0 || setrlimit(RLIMIT_CORE, &no_core) != 0) {
        _exit(kSetupFailed);
    }
    execve(program, argv, envp);
    _exit(kExecFailed);
}

}  // namespace

int StartChild(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const ChildLimits& limits, const std::filesystem::path& scratch) {
    // Everything the child needs is made before fork.
    const std::string program_text = program.string();
    std::vector<std::string> strings{program_text};
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& s : strings) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables = limits.environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        variables.emplace_back(*variable);
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    const std::vector<gid_t> groups(limits.groups.begin(), limits.groups.end());
    const std::string out_path = (scratch / "child.out").string();
    const std::string err_path = (scratch / "child.err").string();

    const pid_t pid = fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        StartInChild(program_text.c_str(), argv.data(), envp.data(), out_path.c_str(),
                     err_path.c_str(), limits, groups);
    }
    return pid;
}

ChildResult WaitForChild(int pid, const std::filesystem::path& scratch) {
    const std::string out_path = (scratch / "child.out").string();
    const std::string err_path = (scratch / "child.err").string();
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error("wait4 failed");
        }
    }
    ChildResult result;
    result.exited = WIFEXITED(status);
    result.exit_status = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.could_not_start =
        result.exited && (result.exit_status == kSetupFailed || result.exit_status == kExecFailed);
    result.max_rss_kb = usage.ru_maxrss;
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    result.cpu_seconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    result.out = ReadFileText(out_path);
    result.err = ReadFileText(err_path);
    std::filesystem::remove(out_path);
    std::filesystem::remove(err_path);
    return result;
}

ChildResult RunChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments, const ChildLimits& limits,
                     const std::filesystem::path& scratch) {
    return WaitForChild(StartChild(program, arguments, limits, scratch), scratch);
}

}  // namespace dsf2vemo::testing
