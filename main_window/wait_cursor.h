#pragma once

#include <windows.h>

namespace dsf2vemo::gui {

// Shows the wait cursor for its lifetime, then the cursor there was before (the arrow if there
// was none): for work on the window's thread long enough to look like a hung program, such as a
// rich edit control under Wine taking the text of a large file. Nests.
class WaitCursor {
  public:
    WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_ != nullptr ? previous_ : LoadCursorW(nullptr, IDC_ARROW)); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

}  // namespace dsf2vemo::gui
