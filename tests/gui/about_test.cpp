#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "about_driver.h"
#include "about_ids.h"
#include "case_name.h"
#include "dpi.h"
#include "form1.h"
#include "form1_fixture.h"
#include "frm_about.h"
#include "help_doubles.h"
#include "program_path.h"
#include "scripted_seams.h"
#include "temp_dir.h"

// The about box driven for real inside its modal loop, with the shell and the message box
// replaced by recorders.
namespace dsf2vemo::testing {
namespace {

namespace fs = std::filesystem;
using gui::frmAbout;

constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
constexpr COLORREF kLinkHover = RGB(255, 0, 63);
constexpr wchar_t kNotice2000[] = L"\u00A9 2000 The dsf2vemo authors";

HWND Item(HWND about, int id) {
    return GetDlgItem(about, id);
}

class AboutTest : public ::testing::Test {
  protected:
    // Shows the box titled `caption` for `year` and runs `action` while it is up.
    void Show(const std::function<void(HWND)>& action, std::wstring caption = L"Caption",
              std::wstring year = L"2000") {
        WhileAboutShows([&] { about_.ShowAbout(caption, year); }, action);
    }

    RecordingShell shell_;
    RecordingMessageBox box_;
    ScriptedHelpSeams help_;
    frmAbout about_{shell_, box_, help_.Seams()};
};

// What a showing displays after the version and build number were set in some order: the title,
// the notice, the version line (twice, as the state outlives the window) and the build number.
struct ShowingCase {
    std::string name;
    std::function<void(frmAbout&)> set_up;
    std::wstring caption;
    std::wstring year;
    std::wstring title;
    std::wstring notice;
    std::wstring version_line;
    std::int32_t build_number;
};

class AboutShowingTest : public AboutTest, public ::testing::WithParamInterface<ShowingCase> {};

TEST_P(AboutShowingTest, ShowsTitleNoticeAndVersionLine) {
    const ShowingCase& c = GetParam();
    c.set_up(about_);
    for (int showing = 1; showing <= 2; ++showing) {
        std::wstring title, notice, link, version;
        Show(
            [&](HWND about) {
                title = gui::WindowText(about);
                notice = gui::WindowText(Item(about, gui::IDC_Label1));
                link = gui::WindowText(Item(about, gui::IDC_Label2));
                version = gui::WindowText(Item(about, gui::IDC_labelBuild));
                PostMessageW(about, WM_CLOSE, 0, 0);
            },
            c.caption, c.year);
        EXPECT_EQ(title, c.title) << "showing " << showing;
        EXPECT_EQ(notice, c.notice) << "showing " << showing;
        EXPECT_EQ(link, L"dsf2vemo.example.org") << "showing " << showing;
        EXPECT_EQ(version, c.version_line) << "showing " << showing;
    }
    EXPECT_EQ(about_.GetBuildNumber(), c.build_number);
}

const auto kNothing = [](frmAbout&) {};

INSTANTIATE_TEST_SUITE_P(
    Cases, AboutShowingTest,
    ::testing::Values(
        ShowingCase{"MainWindowCaption", [](frmAbout& a) { a.SetVersion(L"Version 1.00"); },
                    L"Convert from Prelis to Vemo", L"2000", L"Convert from Prelis to Vemo",
                    kNotice2000, L"Version 1.00", 99},
        ShowingCase{"EmptyCaptionIsAbout", kNothing, L"", L"2000", L"About", kNotice2000,
                    L"Build xx", 99},
        ShowingCase{"BlankCaptionIsKept", kNothing, L" ", L"2000", L" ", kNotice2000, L"Build xx",
                    99},
        ShowingCase{"YearBetweenSignAndHolder", kNothing, L"x", L"1999", L"x",
                    L"\u00A9 1999 The dsf2vemo authors", L"Build xx", 99},
        ShowingCase{"EmptyVersionShowsBuild99", [](frmAbout& a) { a.SetVersion(L""); }, L"x",
                    L"2000", L"x", kNotice2000, L"Beta Test Build 99", 99},
        ShowingCase{"BuildNumberSetsTheLine", [](frmAbout& a) { a.SetBuildNumber(12); }, L"x",
                    L"2000", L"x", kNotice2000, L"Beta Test Build 12", 12},
        ShowingCase{"NegativeBuildNumber", [](frmAbout& a) { a.SetBuildNumber(-3); }, L"x", L"2000",
                    L"x", kNotice2000, L"Beta Test Build -3", -3},
        ShowingCase{"VersionAfterBuildWins",
                    [](frmAbout& a) {
                        a.SetBuildNumber(7);
                        a.SetVersion(L"Version 1.00");
                    },
                    L"x", L"2000", L"x", kNotice2000, L"Version 1.00", 7},
        ShowingCase{"EmptyVersionAfterBuildShowsIt",
                    [](frmAbout& a) {
                        a.SetBuildNumber(7);
                        a.SetVersion(L"");
                    },
                    L"x", L"2000", L"x", kNotice2000, L"Beta Test Build 7", 7}),
    CaseName{});

// The designed window: client size and controls in twips at the window's DPI, centred on the
// screen, a fixed frame with only a close button, OK the default button with the focus, and off
// the task bar without belonging to a window of the program.
TEST_F(AboutTest, OpensAsDesigned) {
    Show([&](HWND about) {
        const UINT dpi = gui::WindowDpi(about);
        const auto pixels = [dpi](float twips) { return gui::TwipsToPixels(twips, dpi); };
        RECT client{};
        GetClientRect(about, &client);
        EXPECT_EQ(client.right, pixels(3744));
        EXPECT_EQ(client.bottom, pixels(1668));
        const std::vector<std::pair<int, RECT>> controls = {
            {gui::IDC_labelBuild, {1080, 240, 1080 + 1572, 240 + 252}},
            {gui::IDC_Label1, {372, 480, 372 + 3012, 480 + 252}},
            {gui::IDC_Label2, {372, 720, 372 + 3012, 720 + 252}},
            {gui::IDC_Command1, {1326, 1080, 1326 + 1092, 1080 + 372}},
        };
        for (const auto& [id, twips] : controls) {
            RECT rect{};
            GetWindowRect(Item(about, id), &rect);
            MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_EQ(rect.left, pixels(static_cast<float>(twips.left))) << id;
            EXPECT_EQ(rect.top, pixels(static_cast<float>(twips.top))) << id;
            EXPECT_NEAR(rect.right - rect.left,
                        pixels(static_cast<float>(twips.right - twips.left)), 1)
                << id;
            EXPECT_NEAR(rect.bottom - rect.top,
                        pixels(static_cast<float>(twips.bottom - twips.top)), 1)
                << id;
        }

        RECT window{};
        GetWindowRect(about, &window);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(about, MONITOR_DEFAULTTOPRIMARY), &monitor);
        EXPECT_NEAR(window.left + window.right, monitor.rcWork.left + monitor.rcWork.right, 2);
        EXPECT_NEAR(window.top + window.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 2);

        const auto style = static_cast<DWORD>(GetWindowLongPtrW(about, GWL_STYLE));
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        const HWND owner = GetWindow(about, GW_OWNER);
        EXPECT_NE(owner, nullptr) << "an unowned window gets a task-bar button";
        EXPECT_FALSE(IsWindowVisible(owner));

        const HWND ok = Item(about, gui::IDC_Command1);
        EXPECT_EQ(gui::WindowText(ok), L"OK");
        EXPECT_EQ(GetFocus(), ok);
        EXPECT_EQ(SendMessageW(ok, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON);
        PostMessageW(about, WM_CLOSE, 0, 0);
    });
}

// Every way of closing the box: the box goes, ShowAbout returns, and no page opens.
struct CloseCase {
    std::string name;
    std::function<void(HWND)> close;
};

class AboutCloseTest : public AboutTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(AboutCloseTest, ClosesTheBox) {
    Show([&](HWND about) {
        ASSERT_EQ(GetFocus(), Item(about, gui::IDC_Command1));
        GetParam().close(about);
    });
    EXPECT_TRUE(shell_.calls.empty());
}

void PressKey(WPARAM key) {
    // Through the modal loop, as a typed key arrives.
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, AboutCloseTest,
    ::testing::Values(
        CloseCase{"Enter", [](HWND) { PressKey(VK_RETURN); }},
        CloseCase{"Escape", [](HWND) { PressKey(VK_ESCAPE); }},
        CloseCase{"OkButton",
                  [](HWND about) { PostMessageW(Item(about, gui::IDC_Command1), BM_CLICK, 0, 0); }},
        CloseCase{"FrameClose",
                  [](HWND about) { PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); }}),
    CaseName{});

// Mouse releases over the link, each after a press on it: only a left release opens the page,
// and it also closes the box. A release off the label records its button but is no click, and a
// release over it of a press elsewhere is none of its business.
enum class Release { Left, Right, Middle, LeftOffTheLabel, LeftPressedElsewhere };

struct LinkCase {
    std::string name;
    std::vector<Release> releases;
    bool opens;
};

class AboutLinkTest : public AboutTest, public ::testing::WithParamInterface<LinkCase> {};

void ReleaseOver(HWND label, Release release) {
    RECT client{};
    GetClientRect(label, &client);
    const LPARAM inside = MAKELPARAM(client.right / 2, client.bottom / 2);
    const LPARAM outside = MAKELPARAM(client.right / 2, client.bottom + 20);
    switch (release) {
        case Release::Left:
            SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, inside);
            SendMessageW(label, WM_LBUTTONUP, 0, inside);
            break;
        case Release::Right:
            SendMessageW(label, WM_RBUTTONDOWN, MK_RBUTTON, inside);
            SendMessageW(label, WM_RBUTTONUP, 0, inside);
            break;
        case Release::Middle:
            SendMessageW(label, WM_MBUTTONDOWN, MK_MBUTTON, inside);
            SendMessageW(label, WM_MBUTTONUP, 0, inside);
            break;
        case Release::LeftOffTheLabel:
            SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, inside);
            SendMessageW(label, WM_LBUTTONUP, 0, outside);
            break;
        case Release::LeftPressedElsewhere:
            SendMessageW(label, WM_LBUTTONUP, 0, inside);
            break;
    }
}

TEST_P(AboutLinkTest, OpensThePageOnlyForTheLeftButton) {
    const LinkCase& c = GetParam();
    HWND shown = nullptr;
    bool closed_by_click = false;
    Show([&](HWND about) {
        shown = about;
        for (const Release release : c.releases) {
            ReleaseOver(Item(about, gui::IDC_Label2), release);
        }
        closed_by_click = !IsWindow(about);
        if (!closed_by_click) {
            PostMessageW(about, WM_CLOSE, 0, 0);
        }
    });
    EXPECT_EQ(closed_by_click, c.opens);
    // Each right-button release opened the popup menu, and only those.
    EXPECT_EQ(help_.popup.shown.size(), static_cast<std::size_t>(std::count(
                                            c.releases.begin(), c.releases.end(), Release::Right)));
    if (!c.opens) {
        EXPECT_TRUE(shell_.calls.empty());
        return;
    }
    ASSERT_EQ(shell_.calls.size(), 1u);
    const ShellCall& call = shell_.calls[0];
    EXPECT_EQ(call.window, shown);
    EXPECT_EQ(call.operation, L"open");
    EXPECT_EQ(call.file, L"https://dsf2vemo.example.org/vemo");
    EXPECT_EQ(fs::path(call.directory), gui::ProgramDirectory());
    EXPECT_FALSE(call.directory.empty());
    EXPECT_EQ(call.show_command, SW_SHOWNORMAL);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, AboutLinkTest,
    ::testing::Values(
        LinkCase{"Left", {Release::Left}, true}, LinkCase{"Right", {Release::Right}, false},
        LinkCase{"Middle", {Release::Middle}, false},
        LinkCase{"RightThenLeft", {Release::Right, Release::Left}, true},
        LinkCase{"LeftOffTheLabel", {Release::LeftOffTheLabel}, false},
        LinkCase{"OffTheLabelThenRight", {Release::LeftOffTheLabel, Release::Right}, false},
        LinkCase{"LeftPressedElsewhere", {Release::LeftPressedElsewhere}, false}),
    CaseName{});

// The link's colour after the pointer moved over the window's parts in turn. Each move reaches
// the part of the box that the system's hit testing picks for the point, as a real one does: a
// control that calls itself transparent there leaves the move to the box.
enum class Over { Link, VersionLine, Notice, OkButton, Background };

struct HoverCase {
    std::string name;
    std::vector<Over> path;
    COLORREF color;
};

class AboutHoverTest : public AboutTest, public ::testing::WithParamInterface<HoverCase> {};

POINT ScreenPointOver(HWND about, Over part) {
    const auto centre = [](HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    };
    switch (part) {
        case Over::Link:
            return centre(Item(about, gui::IDC_Label2));
        case Over::VersionLine:
            return centre(Item(about, gui::IDC_labelBuild));
        case Over::Notice:
            return centre(Item(about, gui::IDC_Label1));
        case Over::OkButton:
            return centre(Item(about, gui::IDC_Command1));
        case Over::Background:
            break;
    }
    POINT corner{3, 3};  // above and left of every control
    ClientToScreen(about, &corner);
    return corner;
}

// Hit testing within the box alone: windows of tests running beside this one may lie on top.
void MoveOver(HWND about, Over part) {
    const POINT screen = ScreenPointOver(about, part);
    POINT point = screen;
    ScreenToClient(about, &point);
    HWND target = ChildWindowFromPointEx(about, point, CWP_SKIPINVISIBLE);
    ASSERT_NE(target, nullptr) << "the point lies outside the box";
    if (target != about &&
        SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTTRANSPARENT) {
        target = about;
    }
    point = screen;
    ScreenToClient(target, &point);
    SendMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
}

TEST_P(AboutHoverTest, ColoursTheLink) {
    const HoverCase& c = GetParam();
    COLORREF color = 0;
    Show([&](HWND about) {
        for (const Over part : c.path) {
            MoveOver(about, part);
        }
        color = LabelTextColor(about, Item(about, gui::IDC_Label2));
        PostMessageW(about, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(color, c.color);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, AboutHoverTest,
    ::testing::Values(
        HoverCase{"Untouched", {}, kLinkBlue}, HoverCase{"OverTheLink", {Over::Link}, kLinkHover},
        HoverCase{"LinkThenVersionLine", {Over::Link, Over::VersionLine}, kLinkHover},
        HoverCase{"LinkThenBackground", {Over::Link, Over::Background}, kLinkBlue},
        HoverCase{"LinkThenOkButton", {Over::Link, Over::OkButton}, kLinkBlue},
        HoverCase{"LinkThenNotice", {Over::Link, Over::Notice}, kLinkBlue},
        HoverCase{
            "VersionLineThenNotice", {Over::Link, Over::VersionLine, Over::Notice}, kLinkBlue},
        HoverCase{"BackThenLinkAgain", {Over::Link, Over::Background, Over::Link}, kLinkHover}),
    CaseName{});

TEST_F(AboutTest, HandCursorOverTheLinkOnly) {
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    Show([&](HWND about) {
        for (const int id : {gui::IDC_Label2, gui::IDC_Label1, gui::IDC_labelBuild}) {
            SetCursor(nullptr);
            SendMessageW(Item(about, id), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(about, id)),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(GetCursor() == hand, id == gui::IDC_Label2) << id;
        }
        PostMessageW(about, WM_CLOSE, 0, 0);
    });
}

// The build-number check against a backup directory holding sub-directories 12, 7b and old and
// a file 40.
struct BuildCheckCase {
    std::string name;
    std::wstring executable;
    std::int32_t build_number;
    bool ok;
    std::wstring complaint;  // empty: no message
};

class BuildCheckTest : public AboutTest, public ::testing::WithParamInterface<BuildCheckCase> {};

TEST_P(BuildCheckTest, ComplainsOnlyInTheDevelopmentBuild) {
    const BuildCheckCase& c = GetParam();
    TempDir backups;
    for (const char* name : {"12", "7b", "old"}) {
        fs::create_directory(backups.Path() / name);
    }
    std::ofstream(backups.Path() / "40") << "not a build";
    ASSERT_EQ(about_.GetMostRecentBuildNumber(backups.Path()), 12);

    about_.SetBuildNumber(c.build_number);
    EXPECT_EQ(about_.BuildNumberIsOK(fs::path(L"C:\\dev") / c.executable, backups.Path()), c.ok);
    if (c.complaint.empty()) {
        EXPECT_TRUE(box_.shown.empty());
        return;
    }
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text, c.complaint);
    EXPECT_EQ(box_.shown[0].caption, L"dsf2vemo");
    EXPECT_EQ(box_.shown[0].style, static_cast<UINT>(MB_OK));
}

INSTANTIATE_TEST_SUITE_P(
    Builds, BuildCheckTest,
    ::testing::Values(BuildCheckCase{"ReleaseBuildNeverComplains", L"dsf2vemo.exe", 0, true, L""},
                      BuildCheckCase{
                          "DevelopmentBuildAtTheLastNumber", L"DIVAZU~1.EXE", 12, false,
                          L"The current revision number is '12'. Please change it to '13'."},
                      BuildCheckCase{"DevelopmentBuildAboveIt", L"divazu~1.exe", 13, true, L""}),
    CaseName{});

// With the main window: About shows the box titled like the main window, which takes no input
// meanwhile; closing the main window takes the box with it.
class AboutFromForm1Test : public Form1Fixture {
  protected:
    void SetUp() override {
        Form1Fixture::SetUp();
        about_.SetVersion(L"Version 1.00");
        form_.SetAboutBox(about_);
    }

    RecordingShell shell_;
    RecordingMessageBox about_box_;
    ScriptedHelpSeams help_;
    frmAbout about_{shell_, about_box_, help_.Seams()};
};

TEST_F(AboutFromForm1Test, AboutButtonShowsTheBoxModally) {
    std::wstring title, notice, version;
    bool main_enabled = true;
    WhileAboutShows([&] { Click(gui::IDC_cmdAbout); },
                    [&](HWND about) {
                        title = gui::WindowText(about);
                        notice = gui::WindowText(Item(about, gui::IDC_Label1));
                        version = gui::WindowText(Item(about, gui::IDC_labelBuild));
                        main_enabled = IsWindowEnabled(form_.Hwnd()) != 0;
                        EXPECT_NE(GetWindow(about, GW_OWNER), form_.Hwnd());
                        PressKey(VK_ESCAPE);
                    });
    EXPECT_EQ(title, L"Convert from Prelis to Vemo");
    EXPECT_EQ(notice, kNotice2000);
    EXPECT_EQ(version, L"Version 1.00");
    EXPECT_FALSE(main_enabled);
    EXPECT_TRUE(IsWindowEnabled(form_.Hwnd()));
}

TEST_F(AboutFromForm1Test, ClosingTheMainWindowUnloadsTheBox) {
    WhileAboutShows([&] { Click(gui::IDC_cmdAbout); },
                    [&](HWND) { PostMessageW(form_.Hwnd(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(form_.Hwnd(), nullptr);
}

}  // namespace
}  // namespace dsf2vemo::testing
