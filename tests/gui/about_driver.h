#pragma once

#include <windows.h>

#include <functional>

namespace dsf2vemo::testing {

// Calls `show` (which shows the about box modally) and runs `action` with the box's window
// inside its modal loop, from a thread timer the loop dispatches. A box still open 10 s after the
// action is destroyed and fails the test, so that a box that doesn't close cannot hang it.
void WhileAboutShows(const std::function<void()>& show, const std::function<void(HWND)>& action);

// The about box of this thread while it is shown; nullptr when there is none.
HWND ShownAboutBox();

}  // namespace dsf2vemo::testing
