#include "about_driver.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace dsf2vemo::testing {

namespace {

const std::function<void(HWND)>* g_action = nullptr;
bool g_acted = false;
DWORD g_acted_at = 0;

// Runs the action once the box is up; destroys a box still open 10 s after the action returned
// (not counting the action's own time, which a loaded machine stretches).
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    const HWND about = ShownAboutBox();
    if (about != nullptr && g_action != nullptr) {
        (*std::exchange(g_action, nullptr))(about);
        g_acted = true;
        g_acted_at = GetTickCount();
    } else if (about != nullptr && g_acted && GetTickCount() - g_acted_at > 10'000) {
        ADD_FAILURE() << "the about box was still open 10 s after the action";
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
    g_acted = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Tick);
    show();
    KillTimer(nullptr, timer);
    EXPECT_EQ(std::exchange(g_action, nullptr), nullptr) << "the about box never showed";
    EXPECT_EQ(ShownAboutBox(), nullptr) << "ShowAbout returned with the box still open";
}

}  // namespace dsf2vemo::testing
