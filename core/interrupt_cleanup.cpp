#include "interrupt_cleanup.h"

#include <array>
#include <atomic>

#ifdef _WIN32
#include <windows.h>

#include <mutex>
#else
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#endif

namespace dsf2vemo {

namespace {

// The handler may run between any two statements (on Windows on a thread of its own) and must not
// allocate, so the list is a fixed set of slots, each the name of one file or null.
std::array<std::atomic<const PathChar*>, kLiveSlots> live_files;
static_assert(std::atomic<const PathChar*>::is_always_lock_free);
// Old files to put back, each with the name of the file whose place it takes. A pair changes only
// while interrupts are held, so the handler never sees half of one.
std::array<std::atomic<const PathChar*>, kLiveSlots> kept_files;
std::array<std::atomic<const PathChar*>, kLiveSlots> kept_targets;

// Async-signal-safe, as RemoveFile.
void PutBack(const PathChar* kept, const PathChar* target) {
#ifdef _WIN32
    MoveFileExW(kept, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    rename(kept, target);
#endif
}

// The old files first: once one is back, its kept name is gone and removing it does nothing.
void RemoveLiveFiles() {
    for (std::size_t i = 0; i < kLiveSlots; ++i) {
        const PathChar* kept = kept_files[i].load();
        const PathChar* target = kept_targets[i].load();
        if (kept != nullptr && target != nullptr) {
            PutBack(kept, target);
        }
    }
    for (std::atomic<const PathChar*>& slot : live_files) {
        if (const PathChar* path = slot.load()) {
            RemoveFile(path);
        }
    }
}

#ifdef _WIN32

// The console handler runs on a thread of its own: this lock keeps it from removing a file in the
// middle of being created or put in place. A file set holds it around the commits of its files.
std::recursive_mutex live_files_lock;

// Ends the process as the system's own handler does on Ctrl+C, whatever the event, and so without
// returning: Wine's own handler ends it with status 0, which would pass an interrupted conversion
// for a successful one. Holding the lock to the end, nothing is put in place meanwhile.
BOOL WINAPI OnConsoleEvent(DWORD /*event*/) {
    const std::lock_guard lock(live_files_lock);
    RemoveLiveFiles();
    ExitProcess(STATUS_CONTROL_C_EXIT);
}

#else

// What git does with its temporary files: the handler removes them, puts back the handler that
// was there before and raises the signal again, so that the process still ends by it and its
// parent sees the usual status (130 for SIGINT, 143 for SIGTERM).
constexpr std::array kInterrupts = {SIGINT, SIGTERM, SIGHUP};
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

#endif

}  // namespace

bool AddLiveFile(const PathChar* path) {
    for (std::atomic<const PathChar*>& slot : live_files) {
        const PathChar* empty = nullptr;
        if (slot.compare_exchange_strong(empty, path)) {
            return true;
        }
    }
    return false;
}

void DropLiveFile(const PathChar* path) {
    for (std::atomic<const PathChar*>& slot : live_files) {
        const PathChar* expected = path;
        slot.compare_exchange_strong(expected, nullptr);
    }
}

bool AddKeptFile(const PathChar* kept, const PathChar* target) {
    for (std::size_t i = 0; i < kLiveSlots; ++i) {
        if (kept_files[i].load() == nullptr) {
            kept_targets[i].store(target);
            kept_files[i].store(kept);
            return true;
        }
    }
    return false;
}

void DropKeptFile(const PathChar* kept) {
    for (std::size_t i = 0; i < kLiveSlots; ++i) {
        if (kept_files[i].load() == kept) {
            kept_files[i].store(nullptr);
            kept_targets[i].store(nullptr);
        }
    }
}

#ifdef _WIN32

void RemoveFile(const PathChar* path) {
    DeleteFileW(path);
}

void WatchInterrupts() {
    static const bool watching = SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
    static_cast<void>(watching);
}

InterruptsHeld::InterruptsHeld() {
    live_files_lock.lock();
}

InterruptsHeld::~InterruptsHeld() {
    live_files_lock.unlock();
}

#else

void RemoveFile(const PathChar* path) {
    unlink(path);
}

// A signal the process was started to ignore (nohup, a background job) stays ignored.
void WatchInterrupts() {
    static const bool watching = [] {
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        action.sa_mask = InterruptSet();
        for (std::size_t i = 0; i < kInterrupts.size(); ++i) {
            sigaction(kInterrupts[i], nullptr, &previous_actions[i]);
            const bool ignored = (previous_actions[i].sa_flags & SA_SIGINFO) == 0 &&
                                 previous_actions[i].sa_handler == SIG_IGN;
            if (!ignored) {
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

#endif

}  // namespace dsf2vemo
