#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "about_driver.h"
#include "about_ids.h"
#include "case_name.h"
#include "frm_about.h"
#include "help_doubles.h"
#include "menu_typer.h"
#include "program_path.h"
#include "scripted_seams.h"
#include "win_help.h"

// The about box's right-button popup menu: released over the OK button, the notice or the link,
// with WinHelp recorded; once through the real popup menu.
namespace dsf2vemo::testing {
namespace {

using gui::frmAbout;

// A press and a release of the right button in the middle of `control`.
void RightClick(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    SendMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, middle);
    SendMessageW(control, WM_RBUTTONUP, 0, middle);
}

std::string ProgramFolder() {
    return gui::WideToAnsi(gui::ProgramDirectory().wstring());
}

struct PopupCase {
    std::string name;
    int control;
    std::wstring pick;
    UINT command;
    ULONG_PTR data;
    std::string file;  // after the program's folder
    friend void PrintTo(const PopupCase& test, std::ostream* out) { *out << test.name; }
};

class AboutPopupTest : public ::testing::Test, public ::testing::WithParamInterface<PopupCase> {
  protected:
    RecordingShell shell_;
    RecordingMessageBox box_;
    ScriptedHelpSeams help_;
    frmAbout about_{shell_, box_, help_.Seams()};
};

TEST_P(AboutPopupTest, RightClickOpensTheMenuForTheControl) {
    const PopupCase& test = GetParam();
    help_.popup.picks.push_back(test.pick);
    HWND shown = nullptr;
    bool still_open = false;
    WhileAboutShows([&] { about_.ShowAbout(L"About", L"2000"); },
                    [&](HWND about) {
                        shown = about;
                        RightClick(GetDlgItem(about, test.control));
                        still_open = IsWindow(about) != 0;
                        PostMessageW(about, WM_CLOSE, 0, 0);
                    });
    EXPECT_TRUE(still_open);
    EXPECT_TRUE(shell_.calls.empty());
    ASSERT_EQ(help_.popup.shown.size(), 1u);
    EXPECT_EQ(help_.popup.shown[0], (std::vector<std::wstring>{L"&What's This?", L"&Help"}));
    EXPECT_EQ(help_.popup.owners[0], shown);
    ASSERT_EQ(help_.win_help.requests.size(), 1u);
    const WinHelpRequest& request = help_.win_help.requests[0];
    EXPECT_EQ(request.window, shown);
    EXPECT_EQ(request.command, test.command);
    EXPECT_EQ(request.data, test.data);
    EXPECT_EQ(request.help_file, ProgramFolder() + test.file);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, AboutPopupTest,
    ::testing::Values(
        PopupCase{"OkButtonWhatsThis", gui::IDC_Command1, L"&What's This?", 8, 32003,
                  "\\vemoapps.hlp"},
        PopupCase{"NoticeWhatsThis", gui::IDC_Label1, L"&What's This?", 8, 32001, "\\vemoapps.hlp"},
        PopupCase{"LinkWhatsThis", gui::IDC_Label2, L"&What's This?", 8, 32002, "\\vemoapps.hlp"},
        // Neither the controls nor the box name a topic: topic 3000 of the program's own file,
        // which it does not have.
        PopupCase{"OkButtonHelp", gui::IDC_Command1, L"&Help", 1, 3000, "\\."},
        PopupCase{"LinkHelp", gui::IDC_Label2, L"&Help", 1, 3000, "\\."}),
    CaseName{});

TEST(AboutRealPopup, LinkRightClickWorksTheRealMenuAndLeavesThePageClosed) {
    RecordingShell shell;
    RecordingMessageBox box;
    RecordingWinHelp win_help;
    ScriptedColorFontDialog dialogs;
    gui::SystemPopupTracker popup;
    frmAbout about(shell, box, {win_help, dialogs, popup});
    bool still_open = false;
    WhileAboutShows([&] { about.ShowAbout(L"About", L"2000"); },
                    [&](HWND shown) {
                        MenuTyper typer({{1, WM_CHAR, L'w'}});
                        RightClick(GetDlgItem(shown, gui::IDC_Label2));
                        still_open = IsWindow(shown) != 0;
                        PostMessageW(shown, WM_CLOSE, 0, 0);
                    });
    EXPECT_TRUE(still_open);
    EXPECT_TRUE(shell.calls.empty());
    ASSERT_EQ(win_help.requests.size(), 1u);
    EXPECT_EQ(win_help.requests[0].command, 8u);
    EXPECT_EQ(win_help.requests[0].data, 32002u);
}

}  // namespace
}  // namespace dsf2vemo::testing
