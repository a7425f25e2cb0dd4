#include "window_placement.h"

#include <algorithm>

namespace dsf2vemo::gui {

void CenterWindow(HWND window, SIZE size, HWND over) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(over != nullptr ? over : window, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
    const RECT& work = monitor.rcWork;
    RECT around = work;
    if (over != nullptr && !GetWindowRect(over, &around)) {
        around = work;
    }
    LONG left = around.left + (around.right - around.left - size.cx) / 2;
    LONG top = around.top + (around.bottom - around.top - size.cy) / 2;
    if (over != nullptr) {
        // An owner near the screen's edge must not push the window off it.
        left = std::max(work.left, std::min(left, work.right - size.cx));
        top = std::max(work.top, std::min(top, work.bottom - size.cy));
    }
    SetWindowPos(window, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace dsf2vemo::gui
