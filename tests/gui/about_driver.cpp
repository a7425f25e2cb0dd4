#include "about_driver.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace dsf2vemo::testing {

namespace {

const std::function<void(HWND)>* g_action = nullptr;

// The about box of this thread while it is shown; nullptr when there is none.
HWND ShownAboutBox() {
    HWND found = nullptr;
    const auto find = [](HWND window, LPARAM out) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (std::wstring_view(name) != L"dsf2vemo.frmAbout") {
            return TRUE;
        }
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    };
    EnumThreadWindows(GetCurrentThreadId(), find, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Comes again until the box is up, then runs the action once.
void CALLBACK RunAction(HWND, UINT, UINT_PTR timer, DWORD) {
    if (const HWND about = ShownAboutBox(); about != nullptr && g_action != nullptr) {
        KillTimer(nullptr, timer);
        (*std::exchange(g_action, nullptr))(about);
    }
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
    if (const HWND about = ShownAboutBox()) {
        ADD_FAILURE() << "the about box was still open after 5 s";
        DestroyWindow(about);
    }
}

}  // namespace

void WhileAboutShows(const std::function<void()>& show, const std::function<void(HWND)>& action) {
    g_action = &action;
    const UINT_PTR action_timer = SetTimer(nullptr, 0, 10, &RunAction);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, &Watchdog);
    show();
    KillTimer(nullptr, action_timer);
    KillTimer(nullptr, watchdog);
    EXPECT_EQ(std::exchange(g_action, nullptr), nullptr) << "the about box never showed";
    EXPECT_EQ(ShownAboutBox(), nullptr) << "ShowAbout returned with the box still open";
}

}  // namespace dsf2vemo::testing
