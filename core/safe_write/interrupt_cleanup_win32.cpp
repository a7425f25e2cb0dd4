#include <windows.h>

#include <mutex>

#include "interrupt_cleanup.h"
#include "live_files.h"
#include "native_file.h"

namespace dsf2vemo {

namespace {

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

}  // namespace

// The handler runs on a thread of its own, which may wait for a scanner to let go of the file.
bool PutBackFile(const PathChar* kept, const PathChar* target) {
    for (int tries = 0; tries < native_file::kRetries; ++tries) {
        if (tries > 0) {
            Sleep(native_file::kRetryPauseMilliseconds);
        }
        if (MoveFileExW(kept, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
    }
    return false;
}

void RemoveFile(const PathChar* path) {
    DeleteFileW(path);
}

void WatchInterrupts() {
    if (InterruptsLeftToHost()) {
        return;
    }
    static const bool watching = SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
    static_cast<void>(watching);
}

InterruptsHeld::InterruptsHeld() {
    live_files_lock.lock();
}

InterruptsHeld::~InterruptsHeld() {
    live_files_lock.unlock();
}

}  // namespace dsf2vemo
