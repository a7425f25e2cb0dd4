#pragma once

#include <windows.h>

#include "resource.h"

namespace dsf2vemo::gui {

// An icon from the program's resources: by default the program's own, which the main window and
// the help window share (the about box has IDI_ABOUT); the system's application icon where the
// executable has none (tests).
HICON ProgramIcon(int id = IDI_APP);

}  // namespace dsf2vemo::gui
