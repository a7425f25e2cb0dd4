#pragma once

#include "interrupt_cleanup.h"

namespace dsf2vemo {

// For the platforms' interrupt handlers: puts the kept old files back, then removes every live
// file but a kept one that could not go back, the last copy of its old file. Async-signal-safe.
void RemoveLiveFiles();

// Moves a kept old file back to its target's name, trying again over about a second; false where
// it still failed. Async-signal-safe; one implementation a platform.
bool PutBackFile(const PathChar* kept, const PathChar* target);

}  // namespace dsf2vemo
