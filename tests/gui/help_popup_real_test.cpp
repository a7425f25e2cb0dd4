#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "help_doubles.h"
#include "help_services.h"
#include "menu_typer.h"
#include "unique_handles.h"

// The popup menu opened for real with TrackPopupMenuEx and worked with the keyboard from another
// thread, and the real colour dialog answered from inside its modal loop.
namespace dsf2vemo::testing {
namespace {

class RealPopupTest : public ::testing::Test {
  protected:
    RealPopupTest() {
        control_.parent = &form_;
        form_.help_context_id = 0;
        control_.whats_this_id = 32001;
        control_.back_color = RGB(10, 20, 30);
        services_.Events.BackColorChanged = [this] { ++back_color_changed_; };
        ShowWindow(owner_.Hwnd(), SW_SHOWNORMAL);
    }

    OwnerWindow owner_;
    RecordingWinHelp win_help_;
    gui::SystemColorFontDialog dialogs_;
    gui::SystemPopupTracker tracker_;
    gui::HelpServices services_{owner_, {win_help_, dialogs_, tracker_}};
    FakeControl form_{L"frmAbout"};
    FakeControl control_{L"ListView", Selection::Selected};
    int back_color_changed_ = 0;
};

TEST_F(RealPopupTest, PicksASecondPropertiesItemByItsAccessKeys) {
    const std::vector<std::wstring> items = {L"&u0", L"", L"&x1", L"&y2"};
    std::int16_t choice = 0;
    {
        MenuTyper typer({{1, WM_CHAR, L'r'}, {2, WM_CHAR, L'y'}});
        choice = services_.CustomWhatsThis(control_, 2, items);
        EXPECT_EQ(typer.typed, 2);
    }
    EXPECT_EQ(choice, 101);
    EXPECT_TRUE(PopupMenus(GetCurrentThreadId()).empty());
}

// The colour dialog's edit boxes for red, green and blue.
constexpr int kRed = 706;
constexpr int kGreen = 707;
constexpr int kBlue = 708;

struct ColorDialogSeen {
    std::wstring red, green, blue;
};
ColorDialogSeen* g_seen = nullptr;

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[32] = {};
    GetDlgItemTextW(dialog, id, text, 32);
    return text;
}

void CALLBACK AnswerColorDialog(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    *g_seen = {ItemText(dialog, kRed), ItemText(dialog, kGreen), ItemText(dialog, kBlue)};
    SetDlgItemTextW(dialog, kRed, L"200");
    SetDlgItemTextW(dialog, kGreen, L"100");
    SetDlgItemTextW(dialog, kBlue, L"50");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

LRESULT CALLBACK WatchColorDialog(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE) {
        const auto window = reinterpret_cast<HWND>(wparam);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) == L"#32770") {
            SetTimer(window, 1, 20, &AnswerColorDialog);
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST_F(RealPopupTest, BackColorGoesThroughTheRealColourDialog) {
    ColorDialogSeen seen;
    g_seen = &seen;
    const gui::UniqueHook hook(
        SetWindowsHookExW(WH_CBT, &WatchColorDialog, nullptr, GetCurrentThreadId()));
    ASSERT_TRUE(hook);
    {
        MenuTyper typer({{1, WM_CHAR, L'r'}, {2, WM_CHAR, L'b'}});
        EXPECT_EQ(services_.NotWhatsThis(control_, 2), 0);
    }
    g_seen = nullptr;
    EXPECT_EQ(seen.red, L"10");
    EXPECT_EQ(seen.green, L"20");
    EXPECT_EQ(seen.blue, L"30");
    EXPECT_EQ(control_.back_color, RGB(200, 100, 50));
    EXPECT_EQ(back_color_changed_, 1);
}

}  // namespace
}  // namespace dsf2vemo::testing
