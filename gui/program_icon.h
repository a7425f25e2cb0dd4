#pragma once

#include <windows.h>

namespace dsf2vemo::gui {

// The program's icon from its resources, shared by the main window and the help window; the
// system's application icon where the executable has none (tests).
HICON ProgramIcon();

}  // namespace dsf2vemo::gui
