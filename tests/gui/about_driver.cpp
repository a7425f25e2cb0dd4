#include "about_driver.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace dsf2vemo::testing {

namespace {

const std::function<void(HWND)>* g_action = nullptr;
DWORD g_shown_at = 0;

// Runs the action once the box is up; destroys a box left open 5 s after the showing began.
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD now) {
    const HWND about = ShownAboutBox();
    if (about != nullptr && g_action != nullptr) {
        (*std::exchange(g_action, nullptr))(about);
    } else if (about != nullptr && now - g_shown_at > 5000) {
        ADD_FAILURE() << "the about box was still open after 5 s";
        DestroyWindow(about);
    }
}

}  // namespace

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

void WhileAboutShows(const std::function<void()>& show, const std::function<void(HWND)>& action) {
    g_action = &action;
    g_shown_at = GetTickCount();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Tick);
    show();
    KillTimer(nullptr, timer);
    EXPECT_EQ(std::exchange(g_action, nullptr), nullptr) << "the about box never showed";
    EXPECT_EQ(ShownAboutBox(), nullptr) << "ShowAbout returned with the box still open";
}

}  // namespace dsf2vemo::testing
