#include <array>
#include <atomic>

#include "interrupt_cleanup.h"
#include "live_files.h"

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

std::atomic<bool> left_to_host{false};

}  // namespace

void LeaveInterruptsToHost() {
    left_to_host.store(true);
}

bool InterruptsLeftToHost() {
    return left_to_host.load();
}

// The old files first: once one is back, its kept name is gone and removing it does nothing. One
// that can't go back is the only copy of its old file left, and stays.
void RemoveLiveFiles() {
    for (std::size_t i = 0; i < kLiveSlots; ++i) {
        const PathChar* kept = kept_files[i].load();
        const PathChar* target = kept_targets[i].load();
        if (kept != nullptr && target != nullptr && !PutBackFile(kept, target)) {
            DropLiveFile(kept);
        }
    }
    for (std::atomic<const PathChar*>& slot : live_files) {
        if (const PathChar* path = slot.load()) {
            RemoveFile(path);
        }
    }
}

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

}  // namespace dsf2vemo
