#pragma once

#include <windows.h>

#include "unique_handles.h"

namespace dsf2vemo::testing {

inline void UnhookHandle(HHOOK hook) {
    UnhookWindowsHookEx(hook);
}

// A windows hook, removed when it goes.
using UniqueHook = gui::UniqueHandle<HHOOK, UnhookHandle>;

}  // namespace dsf2vemo::testing
