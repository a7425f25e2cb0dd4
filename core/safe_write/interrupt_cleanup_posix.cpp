#include <pthread.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>

#include "interrupt_cleanup.h"
#include "live_files.h"
#include "native_file.h"

namespace dsf2vemo {

namespace {

// What git does with its temporary files: the handler removes them, puts back the handler that
// was there before and raises the signal again, so that the process still ends by it and its
// parent sees the usual status (130 for SIGINT, 143 for SIGTERM). Beside the interrupts proper,
// every signal that ends the process by default and may come while a file is written: Ctrl+\, a
// reader of standard output gone, the file size limit (`ulimit -f`) reached.
constexpr std::array kInterrupts = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ};
std::array<struct sigaction, kInterrupts.size()> previous_actions;

sigset_t InterruptSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kInterrupts) {
        sigaddset(&set, signal);
    }
    return set;
}

void OnInterrupt(int signal) {
    const int saved_errno = errno;
    RemoveLiveFiles();
    for (std::size_t i = 0; i < kInterrupts.size(); ++i) {
        if (kInterrupts[i] == signal) {
            sigaction(signal, &previous_actions[i], nullptr);
        }
    }
    raise(signal);
    errno = saved_errno;
}

}  // namespace

bool PutBackFile(const PathChar* kept, const PathChar* target) {
    const timespec pause{0, native_file::kRetryPauseMilliseconds * 1000000L};
    for (int tries = 0; tries < native_file::kRetries; ++tries) {
        if (tries > 0) {
            nanosleep(&pause, nullptr);
        }
        if (rename(kept, target) == 0) {
            return true;
        }
    }
    return false;
}

void RemoveFile(const PathChar* path) {
    unlink(path);
}

// Only a signal that would end the process is taken over. One the process was started to ignore
// (nohup, a background job) stays ignored, and one with a handler of the program's own stays the
// program's: R and Python handle SIGINT and go on, and a handler of ours would then put back and
// remove files under a conversion that goes on too, and ends as if it had succeeded.
void WatchInterrupts() {
    if (InterruptsLeftToHost()) {
        return;
    }
    static const bool watching = [] {
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        action.sa_mask = InterruptSet();
        for (std::size_t i = 0; i < kInterrupts.size(); ++i) {
            sigaction(kInterrupts[i], nullptr, &previous_actions[i]);
            const bool ends_process = (previous_actions[i].sa_flags & SA_SIGINFO) == 0 &&
                                      previous_actions[i].sa_handler == SIG_DFL;
            if (ends_process) {
                sigaction(kInterrupts[i], &action, nullptr);
            }
        }
        return true;
    }();
    static_cast<void>(watching);
}

InterruptsHeld::InterruptsHeld() {
    const sigset_t set = InterruptSet();
    pthread_sigmask(SIG_BLOCK, &set, &saved_);
}

InterruptsHeld::~InterruptsHeld() {
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

}  // namespace dsf2vemo
