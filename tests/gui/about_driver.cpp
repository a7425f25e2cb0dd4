#include "about_driver.h"

#include <gtest/gtest.h>

#include <string_view>

namespace dsf2vemo::testing {

namespace {

constexpr UINT kActionDelay = 10;
constexpr UINT kWatchdogDelay = 5000;

struct Pending {
    const std::function<void(HWND)>* action = nullptr;
    UINT_PTR action_timer = 0;
    UINT_PTR watchdog = 0;
};

Pending g_pending;

BOOL CALLBACK FindAbout(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (std::wstring_view(name) == L"dsf2vemo.frmAbout") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK RunAction(HWND, UINT, UINT_PTR, DWORD) {
    const HWND about = ShownAboutBox();
    if (about == nullptr || g_pending.action == nullptr) {
        return;  // not up yet: the timer comes again
    }
    KillTimer(nullptr, g_pending.action_timer);
    g_pending.action_timer = 0;
    const auto* action = std::exchange(g_pending.action, nullptr);
    (*action)(about);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
    if (const HWND about = ShownAboutBox()) {
        ADD_FAILURE() << "the about box was still open after 5 s";
        DestroyWindow(about);
    }
}

}  // namespace

HWND ShownAboutBox() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindAbout, reinterpret_cast<LPARAM>(&found));
    return found;
}

void WhileAboutShows(const std::function<void()>& show, const std::function<void(HWND)>& action) {
    g_pending.action = &action;
    g_pending.action_timer = SetTimer(nullptr, 0, kActionDelay, &RunAction);
    g_pending.watchdog = SetTimer(nullptr, 0, kWatchdogDelay, &Watchdog);
    show();
    const bool action_ran = g_pending.action == nullptr;
    KillTimer(nullptr, g_pending.action_timer);
    KillTimer(nullptr, g_pending.watchdog);
    g_pending = {};
    EXPECT_TRUE(action_ran) << "the about box never showed";
    EXPECT_EQ(ShownAboutBox(), nullptr) << "ShowAbout returned with the box still open";
}

COLORREF LabelTextColor(HWND about_box, HWND label) {
    const HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageW(about_box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(label));
    const COLORREF color = GetTextColor(dc);
    DeleteDC(dc);
    return color;
}

}  // namespace dsf2vemo::testing
