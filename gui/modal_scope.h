#pragma once

#include <windows.h>

#include <vector>

namespace dsf2vemo::gui {

// While a modal window is up, the thread's other windows take no input: this disables every
// visible, enabled top-level window of the thread except the modal one, and enables exactly
// those again when it goes (before the modal window does, so that activation returns to them).
class ModalScope {
  public:
    explicit ModalScope(HWND modal_window);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

  private:
    std::vector<HWND> disabled_;
};

}  // namespace dsf2vemo::gui
