#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "about_driver.h"
#include "about_ids.h"
#include "frm_about.h"
#include "help_doubles.h"
#include "program_path.h"
#include "scripted_seams.h"
#include "text_encoding.h"
#include "win_help.h"

// The about box's right-button popup menu over each of its controls, with WinHelp recorded.
namespace dsf2vemo::testing {
namespace {

// A press and a release of the right button in the middle of `control`.
void RightClick(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    SendMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, middle);
    SendMessageW(control, WM_RBUTTONUP, 0, middle);
}

// Chooses item `index` of the open popup menu `menu` with the right button, as the menu's own
// loop reads a click (screen coordinates); a menu that refuses the right button is dismissed.
void RightClickItem(HWND menu, UINT index) {
    RECT item{};
    GetMenuItemRect(nullptr, reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)), index,
                    &item);
    const LPARAM middle = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    PostMessageW(menu, WM_RBUTTONDOWN, MK_RBUTTON, middle);
    PostMessageW(menu, WM_RBUTTONUP, 0, middle);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (IsWindowVisible(menu) && std::chrono::steady_clock::now() < deadline) {
        Sleep(10);
    }
    if (IsWindowVisible(menu)) {
        PostMessageW(GetWindow(menu, GW_OWNER), WM_CANCELMODE, 0, 0);
    }
}

// Through the real popup menu, What's This chosen with its access key and Help with a right-button
// click: each control offers What's This on its own topic of the shared help file and Help on the
// default topic of the program's own file, which neither the controls nor the box name. A right
// click on the link leaves its page closed.
TEST(AboutPopupTest, EachControlOffersHelpOnItsTopic) {
    RecordingShell shell;
    RecordingMessageBox box;
    ScriptedHelpSeams help;
    gui::SystemPopupTracker popup;
    gui::frmAbout about(shell, box, {help.win_help, help.dialogs, popup});
    const std::pair<int, ULONG_PTR> topics[] = {
        {gui::IDC_Command1, 32003}, {gui::IDC_Label1, 32001}, {gui::IDC_Label2, 32002}};
    HWND shown = nullptr;
    bool still_open = false;
    WhileAboutShows(
        [&] { about.ShowAbout(L"About", L"2000"); },
        [&](HWND about_box) {
            shown = about_box;
            for (const auto& [id, topic] : topics) {
                for (const auto& choose :
                     {std::function<void(HWND)>(
                          [](HWND menu) { PostMessageW(menu, WM_CHAR, L'w', 0); }),
                      std::function<void(HWND)>([](HWND menu) { RightClickItem(menu, 1); })}) {
                    const std::jthread worker = WorkWindow(L"#32768", choose);
                    RightClick(GetDlgItem(about_box, id));
                }
            }
            still_open = IsWindow(about_box) != 0;
            PostMessageW(about_box, WM_CLOSE, 0, 0);
        });
    const std::string folder = gui::WideToAnsi(gui::ProgramDirectory().wstring());
    std::vector<WinHelpRequest> expected;
    for (const auto& [id, topic] : topics) {
        expected.emplace_back(shown, folder + "\\vemoapps.hlp", 8, topic);
        expected.emplace_back(shown, folder + "\\.", 1, 3000);
    }
    EXPECT_EQ(help.win_help.requests, expected);
    EXPECT_TRUE(still_open);
    EXPECT_TRUE(shell.calls.empty());
}

}  // namespace
}  // namespace dsf2vemo::testing
