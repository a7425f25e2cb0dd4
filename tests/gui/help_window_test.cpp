#include <gtest/gtest.h>

#include <richedit.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "dsf_builder.h"
#include "form1_fixture.h"
#include "help_control_ids.h"
#include "text_encoding.h"

namespace dsf2vemo::testing {
namespace {

CHARFORMAT2W CharFormat(HWND box, WPARAM which, LONG from = 0, LONG to = 0) {
    CHARRANGE range{from, to};
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    SendMessageW(box, EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&format));
    return format;
}

class HelpWindowTest : public Form1Fixture {
  protected:
    std::vector<HWND> HelpWindows() const {
        std::vector<HWND> windows;
        const auto collect = [](HWND window, LPARAM found) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (std::wstring(name) == L"dsf2vemo.frmHelp") {
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            }
            return TRUE;
        };
        EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&windows));
        return windows;
    }
    // The one help window; fails the test if there is not exactly one.
    HWND Help() const {
        const std::vector<HWND> windows = HelpWindows();
        EXPECT_EQ(windows.size(), 1u);
        return windows.empty() ? nullptr : windows.front();
    }
    HWND OpenHelp() {
        Click(gui::IDC_cmdHelp);
        return GetDlgItem(Help(), gui::IDC_frmHelp_RichTextBox1);
    }
};

// Each click leaves one help window, owned by the main window and active, with the whole text
// once, caret and view at the top: a click while it is open, minimised too, brings the same window
// forward; a closed one opens anew, centred over the main window, with its look.
TEST_F(HelpWindowTest, OpensOneWindowWithTheTextOnce) {
    const std::wstring expected = gui::AnsiToWide(
        ReadFileText(std::filesystem::path(DSF2VEMO_TEST_DATA_DIR) / "help_text.txt"));
    // Away from the screen's centre, where the main window opens.
    SetWindowPos(form_.Hwnd(), nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // The tooltip background, for the window to take, set to a colour no other system colour has.
    const INT element = COLOR_INFOBK;
    const COLORREF saved = GetSysColor(element), info = RGB(250, 240, 200);
    SetSysColors(1, &element, &info);
    HWND first = nullptr, help = nullptr, box = nullptr;
    for (const UINT before : {0, 0, SC_MINIMIZE, SC_CLOSE}) {
        if (before != 0) {
            SendMessageW(help, WM_SYSCOMMAND, before, 0);
        }
        box = OpenHelp();
        help = Help();
        first = first != nullptr ? first : help;
        EXPECT_EQ(help == first, before != SC_CLOSE) << before;
        EXPECT_EQ(gui::WindowText(help), L"Help");
        EXPECT_TRUE(IsWindowVisible(help) && !IsIconic(help)) << before;
        EXPECT_EQ(std::make_tuple(GetWindow(help, GW_OWNER), GetActiveWindow(), GetFocus()),
                  std::make_tuple(form_.Hwnd(), help, box));
        EXPECT_EQ(gui::WindowText(box), expected) << before;
        EXPECT_EQ(SendMessageW(box, EM_GETSEL, 0, 0), 0);  // from 0 to 0
        EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    }
    SetSysColors(1, &element, &saved);
    RECT client{}, main{}, window{};
    GetClientRect(help, &client);  // 5448 by 2556 twips at 96 DPI
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(363L, 170L));
    GetWindowRect(form_.Hwnd(), &main);
    GetWindowRect(help, &window);
    EXPECT_LE(std::abs((window.left + window.right) - (main.left + main.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (main.top + main.bottom)), 1);
    EXPECT_EQ(GetClassLongPtrW(help, GCLP_HICON), GetClassLongPtrW(form_.Hwnd(), GCLP_HICON));
    // A sizable frame with the control box, minimise and maximise buttons.
    const LONG_PTR frame = WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    EXPECT_EQ(GetWindowLongPtrW(help, GWL_STYLE) & frame, frame);
    EXPECT_EQ(GetWindowLongPtrW(box, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), WS_VSCROLL);
    // Setting the background colour answers the one it replaces.
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(box, EM_SETBKGNDCOLOR, 0, 0)), info);
    // It goes with the main window.
    DestroyWindow(form_.Hwnd());
    EXPECT_TRUE(HelpWindows().empty());
}

// Text in either rich text box is regular unless made bold (the default format sets the weight
// too); in help, headings and button names are bold and the body paragraphs indented.
TEST_F(HelpWindowTest, FormatsHeadingsButtonNamesAndIndents) {
    WriteFileBytes(File(L"demo.dsf"), BuildDsf(DemoMomentData(), kDemoHeader));
    Input(File(L"demo.dsf"));
    const HWND box = OpenHelp();
    const HWND pane = Control(gui::IDC_RichTextBox1);
    for (const HWND each : {pane, box}) {
        const CHARFORMAT2W format = CharFormat(each, SCF_DEFAULT);
        EXPECT_EQ(std::make_tuple(
                      std::wstring(format.szFaceName), format.yHeight, format.wWeight,
                      format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT)),
                  std::make_tuple(L"MS Sans Serif", 160, FW_NORMAL, 0u));  // 8 points in twips
    }
    const CHARFORMAT2W echo = CharFormat(pane, SCF_SELECTION, 0, -1);
    EXPECT_TRUE(echo.dwMask & CFM_BOLD) << "the echo mixes weights";
    EXPECT_FALSE(echo.dwEffects & CFE_BOLD);

    // Positions in the control count a line break as one character.
    std::wstring text = gui::WindowText(box);
    std::erase(text, L'\n');
    std::wstring bold;          // the bold runs, each ended by "|"
    std::vector<LONG> indents;  // of each paragraph, in twips
    for (std::size_t at = 0; at <= text.size(); ++at) {
        const auto here = static_cast<LONG>(at);
        if (at == 0 || text[at - 1] == L'\r') {
            CharFormat(box, SCF_SELECTION, here, here);
            PARAFORMAT2 paragraph{};
            paragraph.cbSize = sizeof(paragraph);
            SendMessageW(box, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
            indents.push_back(paragraph.dxStartIndent);
        }
        const CHARFORMAT2W format = CharFormat(box, SCF_SELECTION, here, here + 1);
        const bool is_bold = (format.dwEffects & CFE_BOLD) != 0;
        EXPECT_EQ(format.wWeight, is_bold ? FW_BOLD : FW_NORMAL) << "at " << at;
        if (is_bold || (!bold.empty() && bold.back() != L'|')) {
            bold += is_bold ? text[at] : L'|';
        }
    }
    EXPECT_EQ(bold,
              L"Purpose of the program|How to use the program|Input|Output|Convert|"
              L"Things to look out for|");
    // Headings and the empty paragraphs after them at 0, the rest at 150; the last one empty.
    EXPECT_EQ(indents, (std::vector<LONG>{0, 0, 150, 150, 0, 0, 150, 150, 150, 150, 150, 150, 0, 0,
                                          150, 150, 150, 150, 0}));
}

// The box wraps its text at its width and covers the client area after every change of size,
// minimising and DPI changes included.
TEST_F(HelpWindowTest, BoxCoversTheClientArea) {
    const HWND box = OpenHelp();
    const HWND help = Help();
    const auto expect_covered = [&](const char* after) {
        RECT client{}, placed{};
        GetClientRect(help, &client);
        GetWindowRect(box, &placed);
        MapWindowPoints(nullptr, help, reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_TRUE(EqualRect(&placed, &client)) << after;
    };
    const auto design_lines = SendMessageW(box, EM_GETLINECOUNT, 0, 0);
    EXPECT_GT(design_lines, 19 + 10);  // 19 paragraphs, the long ones on several lines
    SetWindowPos(help, nullptr, 0, 0, 1200, 700, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_LT(SendMessageW(box, EM_GETLINECOUNT, 0, 0), design_lines);
    expect_covered("widened");
    SetWindowPos(help, nullptr, 0, 0, 2, 2, SWP_NOMOVE | SWP_NOZORDER);
    expect_covered("shrunk to a sliver");
    RECT window{10, 20, 10 + 730, 20 + 380};
    SendMessageW(help, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&window));
    GetWindowRect(help, &window);
    EXPECT_EQ(std::make_pair(window.left, window.right), std::make_pair(10L, 740L));
    expect_covered("dpi changed");
    ShowWindow(help, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(help));
    expect_covered("minimised");
}

// Typing, deleting and pasting change nothing.
TEST_F(HelpWindowTest, IsReadOnly) {
    const HWND box = OpenHelp();
    const std::wstring text = gui::WindowText(box);
    // Another test program may hold the clipboard for a moment.
    for (int attempt = 0; attempt < 100 && OpenClipboard(box) == 0; ++attempt) {
        Sleep(10);
    }
    ASSERT_TRUE(EmptyClipboard());
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(L"pasted"));
    std::memcpy(GlobalLock(memory), L"pasted", sizeof(L"pasted"));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns it now
    CloseClipboard();

    BYTE keys[256] = {};
    GetKeyboardState(keys);
    SetFocus(box);
    const auto expect_unchanged = [&](UINT message, WPARAM key) {
        keys[VK_CONTROL] = key == 'X' || key == 'V' ? 0x80 : 0;  // Control+X, Control+V
        SetKeyboardState(keys);
        CharFormat(box, SCF_SELECTION, 0, 20);
        SendMessageW(box, message, key, 1);
        EXPECT_EQ(gui::WindowText(box), text) << message << " " << key;
    };
    for (const wchar_t typed : std::wstring(L"t\r\b")) {
        expect_unchanged(WM_CHAR, typed);
    }
    for (const WPARAM key : {WPARAM{VK_DELETE}, WPARAM{VK_BACK}, WPARAM{'X'}, WPARAM{'V'}}) {
        expect_unchanged(WM_KEYDOWN, key);
    }
    expect_unchanged(WM_CUT, 0);
    expect_unchanged(WM_PASTE, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

}  // namespace
}  // namespace dsf2vemo::testing
