#pragma once

#include "interrupt_cleanup.h"

namespace dsf2vemo {

// For the platforms' interrupt handlers: puts the kept old files back, then removes every live
// file. Async-signal-safe.
void RemoveLiveFiles();

// Moves a kept old file back to its target's name, ignoring any failure. Async-signal-safe; one
// implementation a platform.
void PutBackFile(const PathChar* kept, const PathChar* target);

}  // namespace dsf2vemo
