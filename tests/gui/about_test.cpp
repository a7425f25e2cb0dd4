#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "about_driver.h"
#include "about_ids.h"
#include "dpi.h"
#include "form1_fixture.h"
#include "frm_about.h"
#include "help_doubles.h"
#include "program_path.h"

// The about box driven for real inside its modal loop, over the main window, with the shell, the
// message box and the help services replaced by recorders.
namespace dsf2vemo::testing {
namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255), kHover = RGB(255, 0, 63);

// Through the modal loop, as a key typed on OK (which has the focus) arrives: posted to OK
// itself, since another program's window may hold the focus for a moment while tests run side by
// side.
void PressKey(WPARAM key) {
    const HWND ok = GetDlgItem(ShownAboutBox(), gui::IDC_Command1);
    PostMessageW(ok, WM_KEYDOWN, key, 1);
    PostMessageW(ok, WM_KEYUP, key, 0xC0000001);
}

class AboutTest : public Form1Fixture {
  protected:
    void SetUp() override {
        Form1Fixture::SetUp();
        form_.SetAboutBox(about_);
    }
    // Shows the box titled `caption` for 1999, runs `action` and closes the box if still open.
    void Show(const std::function<void(HWND)>& action, const std::wstring& caption = L"x") {
        WhileAboutShows([&] { about_.ShowAbout(caption, L"1999"); },
                        [&](HWND about) {
                            action(about);
                            if (IsWindow(about)) {
                                PostMessageW(about, WM_CLOSE, 0, 0);
                            }
                        });
    }
    RecordingShell shell_;
    ScriptedHelpSeams help_;
    gui::frmAbout about_{shell_, box_, help_.Seams()};
};

// Showings one after another, each after setting the build number and then the version (or
// not): what is set outlives the window that showed it.
TEST_F(AboutTest, ShowsTitleNoticeLinkAndVersionLine) {
    struct Step {
        std::optional<std::int32_t> build;
        std::optional<std::wstring> version;
        std::wstring caption, title, version_line;
        std::int32_t build_number;
    };
    // clang-format off
    const std::vector<Step> steps = {
        {{}, {}, L"", L"About", L"Build xx", 99},
        {{}, L"Version 1.00", L" ", L" ", L"Version 1.00", 99},
        {{}, {}, L"x", L"x", L"Version 1.00", 99},
        {{}, L"", L"x", L"x", L"Beta Test Build 99", 99},
        {-3, {}, L"x", L"x", L"Beta Test Build -3", -3},
        {7, L"Version 1.00", L"x", L"x", L"Version 1.00", 7},
        {7, L"", L"x", L"x", L"Beta Test Build 7", 7},
        {{}, {}, L"x", L"x", L"Beta Test Build 7", 7}};
    // clang-format on
    for (std::size_t step = 0; step < steps.size(); ++step) {
        const Step& s = steps[step];
        s.build ? about_.SetBuildNumber(*s.build) : void();
        s.version ? about_.SetVersion(*s.version) : void();
        std::vector<std::wstring> texts;
        Show(
            [&](HWND about) {
                texts = {gui::WindowText(about),
                         gui::WindowText(GetDlgItem(about, gui::IDC_Label1)),
                         gui::WindowText(GetDlgItem(about, gui::IDC_Label2)),
                         gui::WindowText(GetDlgItem(about, gui::IDC_labelBuild))};
            },
            s.caption);
        EXPECT_EQ(texts, (std::vector<std::wstring>{s.title, L"\u00A9 1999 The dsf2vemo authors",
                                                    L"dsf2vemo.example.org", s.version_line}))
            << "step " << step;
        EXPECT_EQ(about_.GetBuildNumber(), s.build_number) << "step " << step;
    }
}

// The designed window: client and controls in twips at the window's DPI, centred on the work
// area, a fixed frame with only a close button, off the task bar through a hidden owner of its
// own, OK the default button with the focus, and the hand cursor over the link only.
TEST_F(AboutTest, OpensAsDesigned) {
    Show([&](HWND about) {
        const auto px = [dpi = gui::WindowDpi(about)](int twips) {
            return LONG{gui::TwipsToPixels(static_cast<float>(twips), dpi)};
        };
        RECT r{};
        GetClientRect(about, &r);
        EXPECT_EQ(std::pair(r.right, r.bottom), std::pair(px(3744), px(1668)));
        // Places and kinds: labels with centred text, OK the default push button.
        // clang-format off
        const std::vector<std::array<int, 6>> controls = {
            {gui::IDC_labelBuild, 1080, 240, 1572, 252, SS_CENTER},
            {gui::IDC_Label1, 372, 480, 3012, 252, SS_CENTER},
            {gui::IDC_Label2, 372, 720, 3012, 252, SS_CENTER},
            {gui::IDC_Command1, 1326, 1080, 1092, 372, BS_DEFPUSHBUTTON}};
        // clang-format on
        for (const auto& [id, left, top, width, height, kind] : controls) {
            EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(about, id), GWL_STYLE) & SS_TYPEMASK, kind)
                << id;
            GetWindowRect(GetDlgItem(about, id), &r);
            MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(std::pair(r.left, r.top), std::pair(px(left), px(top))) << id;
            EXPECT_NEAR(r.right - r.left, px(width), 1) << id;
            EXPECT_NEAR(r.bottom - r.top, px(height), 1) << id;
        }
        MONITORINFO monitor{sizeof(monitor), {}, {}, 0};
        GetMonitorInfoW(MonitorFromWindow(about, MONITOR_DEFAULTTOPRIMARY), &monitor);
        GetWindowRect(about, &r);
        EXPECT_NEAR(r.left + r.right, monitor.rcWork.left + monitor.rcWork.right, 2);
        EXPECT_NEAR(r.top + r.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 2);
        EXPECT_EQ(GetWindowLongPtrW(about, GWL_STYLE) &
                      (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
                  WS_SYSMENU);
        const HWND owner = GetWindow(about, GW_OWNER);
        EXPECT_TRUE(owner != nullptr && !IsWindowVisible(owner) && owner != form_.Hwnd());
        const HWND ok = GetDlgItem(about, gui::IDC_Command1);
        EXPECT_TRUE(GetFocus() == ok && gui::WindowText(ok) == L"OK");
        EXPECT_TRUE(SendMessageW(ok, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
        for (const int id : {gui::IDC_Label2, gui::IDC_Label1, gui::IDC_labelBuild}) {
            SetCursor(nullptr);
            SendMessageW(GetDlgItem(about, id), WM_SETCURSOR,
                         reinterpret_cast<WPARAM>(GetDlgItem(about, id)),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(GetCursor() == LoadCursorW(nullptr, IDC_HAND), id == gui::IDC_Label2) << id;
        }
    });
}

// A release over the link: L, R, M after a press of that button on it; l, r: the same after the
// second press of a quick pair, which the label gets as a double-click; o: a left one off the
// label, which records its button but is no click; e: a left one of a press made elsewhere, none
// of the label's business.
void Release(HWND label, char release) {
    RECT r{};
    GetClientRect(label, &r);
    const UINT down = release == 'R'   ? WM_RBUTTONDOWN
                      : release == 'r' ? WM_RBUTTONDBLCLK
                      : release == 'M' ? WM_MBUTTONDOWN
                      : release == 'l' ? WM_LBUTTONDBLCLK
                                       : WM_LBUTTONDOWN;
    if (release != 'e') {
        SendMessageW(label, down, 0, MAKELPARAM(r.right / 2, r.bottom / 2));
    }
    const int y = release == 'o' ? r.bottom + 20 : r.bottom / 2;
    const bool second = release == 'l' || release == 'r';
    SendMessageW(label, second ? down - 1 : down + 1, 0, MAKELPARAM(r.right / 2, y));
}

// Only a left click opens the page, with the program's folder, and closes the box.
TEST_F(AboutTest, LinkOpensThePageOnlyForTheLeftButton) {
    const std::vector<std::pair<std::string, bool>> rows = {
        {"L", true}, {"R", false}, {"M", false},  {"RL", true}, {"Rr", false},
        {"l", true}, {"o", false}, {"oR", false}, {"e", false}};
    for (const auto& [releases, opens] : rows) {
        SCOPED_TRACE(releases);
        shell_.calls.clear();
        help_.popup.shown.clear();
        HWND closed = nullptr;  // the box, once a click closed it
        Show([&](HWND about) {
            for (const char release : releases) {
                Release(GetDlgItem(about, gui::IDC_Label2), release);
            }
            closed = IsWindow(about) ? nullptr : about;
        });
        // Each right-button release opened the popup menu, and only those.
        EXPECT_EQ(help_.popup.shown.size(), static_cast<std::size_t>(std::count_if(
                                                releases.begin(), releases.end(),
                                                [](char c) { return c == 'R' || c == 'r'; })));
        EXPECT_EQ(closed != nullptr, opens);
        ASSERT_EQ(shell_.calls.size(), opens ? 1u : 0u);
        if (opens) {
            const ShellCall& call = shell_.calls[0];
            EXPECT_EQ(std::tie(call.window, call.operation, call.file, call.directory),
                      std::tuple(closed, L"open", L"https://dsf2vemo.example.org/vemo",
                                 gui::ProgramDirectory().wstring()));
            EXPECT_TRUE(call.show_command == SW_SHOWNORMAL && !call.directory.empty());
        }
    }
}

// Moves the pointer over control `id` (0: the background) as a real move does: a control that
// calls itself transparent there leaves the move to the box.
void MoveOver(HWND about, int id) {
    HWND target = id == 0 ? about : GetDlgItem(about, id);
    RECT r{};
    GetWindowRect(target, &r);
    POINT point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    if (id == 0) {
        point = {3, 3};  // above and left of every control
        ClientToScreen(about, &point);
    } else if (SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)) ==
               HTTRANSPARENT) {
        target = about;
    }
    ScreenToClient(target, &point);
    SendMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
}

// Records the colour the link paints itself in: each painting asks the box for it.
LRESULT CALLBACK RecordLinkColour(HWND about, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                  DWORD_PTR painted) {
    const LRESULT result = DefSubclassProc(about, message, wparam, lparam);
    if (message == WM_CTLCOLORSTATIC &&
        GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) == gui::IDC_Label2) {
        *reinterpret_cast<COLORREF*>(painted) = GetTextColor(reinterpret_cast<HDC>(wparam));
    }
    return result;
}

// The colour the link shows after moves over these parts in turn, as it paints itself once the
// moves are done: the link turns it, the version line leaves it, the rest restores it.
TEST_F(AboutTest, LinkColourFollowsThePointer) {
    const int link = gui::IDC_Label2;
    // clang-format off
    const std::vector<std::pair<std::vector<int>, COLORREF>> rows = {
        {{}, kBlue}, {{link}, kHover}, {{link, gui::IDC_labelBuild}, kHover}, {{link, 0}, kBlue},
        {{link, 0, link}, kHover}, {{link, gui::IDC_Command1}, kBlue},
        {{link, gui::IDC_Label1}, kBlue}};
    // clang-format on
    for (const auto& [path, colour] : rows) {
        COLORREF shown = 0;
        Show([&](HWND about) {
            SetWindowSubclass(about, &RecordLinkColour, 1, reinterpret_cast<DWORD_PTR>(&shown));
            // Painted once as the box opened; only the moves may make it paint again.
            RedrawWindow(GetDlgItem(about, link), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            for (const int id : path) {
                MoveOver(about, id);
            }
            UpdateWindow(GetDlgItem(about, link));
            RemoveWindowSubclass(about, &RecordLinkColour, 1);
        });
        EXPECT_EQ(shown, colour) << ::testing::PrintToString(path);
    }
}

// Against backups up to build 12, only the development build at 12 or below refuses, and says
// why.
TEST_F(AboutTest, BuildNumberIsOKComplainsOnlyInTheDevelopmentBuild) {
    EXPECT_FALSE(about_.InIde()) << "the test program is no development build";
    create_directory(temp_.Path() / "12");
    const std::vector<std::tuple<std::wstring, std::int32_t, bool>> rows = {
        {L"dsf2vemo.exe", 0, true}, {L"DIVAZU~1.EXE", 12, false}, {L"divazu~1.exe", 13, true}};
    for (const auto& [executable, build, ok] : rows) {
        about_.SetBuildNumber(build);
        EXPECT_EQ(about_.BuildNumberIsOK(L"C:\\dev\\" + executable, temp_.Path()), ok) << build;
    }
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text,
              L"The current revision number is '12'. Please change it to '13'.");
    EXPECT_EQ(std::tie(box_.shown[0].caption, box_.shown[0].style),
              std::tuple(L"dsf2vemo", static_cast<UINT>(MB_OK)));
}

// About on the main window shows the box titled like it, with the notice for 2000, and the main
// window takes no input meanwhile. Enter, Esc, OK, the frame's close command and closing the main
// window each close the box (the driver fails a box left open) without opening the page.
TEST_F(AboutTest, AboutButtonShowsTheBoxModallyUntilClosed) {
    const std::vector<std::function<void(HWND)>> ways = {
        [](HWND) { PressKey(VK_RETURN); }, [](HWND) { PressKey(VK_ESCAPE); },
        [](HWND about) { PostMessageW(GetDlgItem(about, gui::IDC_Command1), BM_CLICK, 0, 0); },
        [](HWND about) { PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); },
        [this](HWND) { PostMessageW(form_.Hwnd(), WM_CLOSE, 0, 0); }};
    for (std::size_t way = 0; way < ways.size(); ++way) {
        SCOPED_TRACE(way);
        std::vector<std::wstring> texts;
        bool main_enabled = true;
        WhileAboutShows([&] { Click(gui::IDC_cmdAbout); },
                        [&](HWND about) {
                            texts = {gui::WindowText(about),
                                     gui::WindowText(GetDlgItem(about, gui::IDC_Label1))};
                            main_enabled = IsWindowEnabled(form_.Hwnd());
                            ways[way](about);
                        });
        EXPECT_EQ(texts, (std::vector<std::wstring>{L"Convert from Prelis to Vemo",
                                                    L"\u00A9 2000 The dsf2vemo authors"}));
        EXPECT_FALSE(main_enabled);
        EXPECT_TRUE(way + 1 < ways.size() ? IsWindowEnabled(form_.Hwnd()) : !form_.Hwnd());
    }
    EXPECT_TRUE(shell_.calls.empty());
}

// A showing that fails once, with the box's window made and the main window disabled, is reported
// and leaves nothing behind: the main window takes input and the next About shows the box.
TEST_F(AboutTest, AFailedShowingIsReportedAndTheNextOneWorks) {
    about_.SetShowingFault([this] {
        about_.SetShowingFault(nullptr);
        throw std::runtime_error("no room for the box");
    });
    Click(gui::IDC_cmdAbout);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(
        box_.shown[0].text,
        L"An error occurred while trying to show the about box.\r\n\r\n(no room for the box)");
    EXPECT_EQ(box_.shown[0].caption, L"Error");
    EXPECT_EQ(about_.Hwnd(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(form_.Hwnd()));
    std::wstring title;
    WhileAboutShows([&] { Click(gui::IDC_cmdAbout); },
                    [&](HWND about) {
                        title = gui::WindowText(about);
                        PressKey(VK_ESCAPE);
                    });
    EXPECT_EQ(title, L"Convert from Prelis to Vemo");
}

}  // namespace
}  // namespace dsf2vemo::testing
