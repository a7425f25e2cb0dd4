#pragma once

#include <cstddef>
#include <filesystem>

#ifndef _WIN32
#include <signal.h>
#endif

namespace dsf2vemo {

// Files that exist only while a conversion runs (temporary files, old files kept until the new
// ones are in place) are put on a list of live files, and a handler of SIGINT, SIGTERM, SIGHUP,
// SIGQUIT, SIGPIPE and SIGXFSZ (on Windows of the console's Ctrl+C and close events) removes what
// is on it before the process ends. The list holds pointers to the names, not copies: a name must
// stay unchanged, and alive, until it is dropped again.
using PathChar = std::filesystem::path::value_type;

// Names the list can hold at once.
constexpr std::size_t kLiveSlots = 16;

// Puts the handler in place, once per process; later calls do nothing.
void WatchInterrupts();

// For a process that only hosts the converter (the R and Python packages): its own handlers
// decide what an interrupt does, and they let the process go on, which the handler above, made
// to end the process after removing the live files, must not see. Called before the first
// conversion, it keeps WatchInterrupts from putting any handler in place (on POSIX, where a
// signal with a handler of the program's own is never taken over anyway, nor the console
// handler on Windows, which would end the host at its next Ctrl+C): an interrupt that doesn't
// end the process waits until the conversion has completed or failed as a whole; one that ends
// it leaves the temporary file behind.
void LeaveInterruptsToHost();
bool InterruptsLeftToHost();

// False when the list is full.
bool AddLiveFile(const PathChar* path);
void DropLiveFile(const PathChar* path);

// An old file kept under a second name while a new one is in its place: the handler puts it back
// before it removes the live files, so that files replaced together go back together. False when
// the list is full.
bool AddKeptFile(const PathChar* kept, const PathChar* target);
void DropKeptFile(const PathChar* kept);

// Removes the file, ignoring any failure. Async-signal-safe: the handler calls it.
void RemoveFile(const PathChar* path);

// Held while a live file is made, renamed or removed, and while the list changes: the handler
// then waits until the list says again what exists. It may be held again while held.
class InterruptsHeld {
  public:
    InterruptsHeld();
    ~InterruptsHeld();
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

  private:
#ifndef _WIN32
    sigset_t saved_;
#endif
};

}  // namespace dsf2vemo
