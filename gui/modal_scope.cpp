#include "modal_scope.h"

namespace dsf2vemo::gui {

namespace {

struct Collect {
    HWND modal_window;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM data) {
    const auto* collect = reinterpret_cast<const Collect*>(data);
    if (window != collect->modal_window && IsWindowVisible(window) && IsWindowEnabled(window)) {
        collect->windows->push_back(window);
    }
    return TRUE;
}

}  // namespace

ModalScope::ModalScope(HWND modal_window) {
    Collect collect{modal_window, &disabled_};
    EnumThreadWindows(GetCurrentThreadId(), &CollectEnabledWindow,
                      reinterpret_cast<LPARAM>(&collect));
    for (const HWND window : disabled_) {
        EnableWindow(window, FALSE);
    }
}

ModalScope::~ModalScope() {
    for (const HWND window : disabled_) {
        // A window closed meanwhile is simply gone.
        if (IsWindow(window)) {
            EnableWindow(window, TRUE);
        }
    }
}

}  // namespace dsf2vemo::gui
