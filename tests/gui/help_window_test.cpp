#include <gtest/gtest.h>

#include <richedit.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dsf_builder.h"
#include "form1_fixture.h"
#include "help_control_ids.h"
#include "text_encoding.h"

namespace dsf2vemo::testing {
namespace {

BOOL CALLBACK CollectHelpWindow(HWND window, LPARAM windows) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (std::wstring(name) == L"dsf2vemo.frmHelp") {
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    }
    return TRUE;
}

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
        EnumThreadWindows(GetCurrentThreadId(), CollectHelpWindow,
                          reinterpret_cast<LPARAM>(&windows));
        return windows;
    }
    // The one help window; fails the test if there is not exactly one.
    HWND Help() const {
        const std::vector<HWND> windows = HelpWindows();
        EXPECT_EQ(windows.size(), 1u);
        return windows.empty() ? nullptr : windows.front();
    }
    HWND HelpBox() const { return GetDlgItem(Help(), gui::IDC_frmHelp_RichTextBox1); }
    HWND OpenHelp() {
        Click(gui::IDC_cmdHelp);
        return HelpBox();
    }
};

// Each click leaves one help window, owned by the main window and active, with the whole text
// once, caret and view at the top: a click while it is open, minimised too, brings the same window
// forward; a closed one opens anew. It opens centred over the main window, with its look.
TEST_F(HelpWindowTest, OpensOneWindowWithTheTextOnce) {
    const std::wstring expected = gui::AnsiToWide(
        ReadFileText(std::filesystem::path(DSF2VEMO_TEST_DATA_DIR) / "help_text.txt"));
    // Away from the screen's centre, where the main window opens.
    SetWindowPos(form_.Hwnd(), nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND first = nullptr;
    for (const auto& [before, same] : std::vector<std::pair<UINT, bool>>{
             {0, true}, {0, true}, {SC_MINIMIZE, true}, {SC_CLOSE, false}}) {
        if (before != 0) {
            SendMessageW(Help(), WM_SYSCOMMAND, before, 0);
        }
        const HWND box = OpenHelp();
        const HWND help = Help();
        ASSERT_NE(help, nullptr);
        first = first != nullptr ? first : help;
        EXPECT_EQ(help == first, same) << before;
        EXPECT_EQ(gui::WindowText(help), L"Help");
        EXPECT_EQ(GetWindow(help, GW_OWNER), form_.Hwnd());
        EXPECT_TRUE(IsWindowVisible(help) && !IsIconic(help)) << before;
        EXPECT_EQ(GetActiveWindow(), help);
        EXPECT_EQ(GetFocus(), box);
        EXPECT_EQ(gui::WindowText(box), expected) << before;
        CHARRANGE selection{-1, -1};
        SendMessageW(box, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        EXPECT_EQ(std::make_pair(selection.cpMin, selection.cpMax), std::make_pair(0L, 0L));
        EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    }
    RECT client{}, main{}, window{};
    GetClientRect(Help(), &client);  // 5448 by 2556 twips at 96 DPI
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(363L, 170L));
    GetWindowRect(form_.Hwnd(), &main);
    GetWindowRect(Help(), &window);
    EXPECT_LE(std::abs((window.left + window.right) - (main.left + main.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (main.top + main.bottom)), 1);
    EXPECT_EQ(GetClassLongPtrW(Help(), GCLP_HICON), GetClassLongPtrW(form_.Hwnd(), GCLP_HICON));
    EXPECT_EQ(GetWindowLongPtrW(HelpBox(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), WS_VSCROLL);
    // Setting the background colour answers the one it replaces: the tooltip colour.
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(HelpBox(), EM_SETBKGNDCOLOR, 0, 0)),
              GetSysColor(COLOR_INFOBK));
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
        EXPECT_EQ(std::wstring(format.szFaceName), L"MS Sans Serif");
        EXPECT_EQ(format.yHeight, 160);  // 8 points in twips
        EXPECT_EQ(format.wWeight, FW_NORMAL);
        EXPECT_EQ(format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT), 0u);
    }
    const CHARFORMAT2W echo = CharFormat(pane, SCF_SELECTION, 0, -1);
    EXPECT_TRUE(echo.dwMask & CFM_BOLD) << "the echo mixes weights";
    EXPECT_FALSE(echo.dwEffects & CFE_BOLD);

    // Positions in the control count a line break as one character.
    std::wstring text = gui::WindowText(box);
    std::erase(text, L'\n');
    std::vector<std::wstring> bold_runs;
    std::vector<LONG> indents;  // of each paragraph, in twips
    bool in_run = false;
    for (LONG at = 0; at <= static_cast<LONG>(text.size()); ++at) {
        if (at == 0 || text[static_cast<std::size_t>(at) - 1] == L'\r') {
            CharFormat(box, SCF_SELECTION, at, at);
            PARAFORMAT2 format{};
            format.cbSize = sizeof(format);
            SendMessageW(box, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
            indents.push_back(format.dxStartIndent);
        }
        if (at == static_cast<LONG>(text.size())) {
            break;
        }
        const CHARFORMAT2W format = CharFormat(box, SCF_SELECTION, at, at + 1);
        const bool bold = (format.dwEffects & CFE_BOLD) != 0;
        EXPECT_EQ(format.wWeight, bold ? FW_BOLD : FW_NORMAL) << "at " << at;
        if (bold && !in_run) {
            bold_runs.emplace_back();
        }
        if (bold) {
            bold_runs.back() += text[static_cast<std::size_t>(at)];
        }
        in_run = bold;
    }
    EXPECT_EQ(bold_runs, (std::vector<std::wstring>{L"Purpose of the program",
                                                    L"How to use the program", L"Input", L"Output",
                                                    L"Convert", L"Things to look out for"}));
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
        EXPECT_EQ(std::vector<LONG>({placed.left, placed.top, placed.right, placed.bottom}),
                  std::vector<LONG>({0, 0, client.right, client.bottom}))
            << after;
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

    struct Edit {
        UINT message;
        WPARAM key;
        bool control;
    };
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    SetFocus(box);
    for (const Edit edit : {Edit{WM_CHAR, L't', false},
                            {WM_CHAR, L'\r', false},
                            {WM_CHAR, L'\b', false},
                            {WM_KEYDOWN, VK_DELETE, false},
                            {WM_KEYDOWN, VK_BACK, false},
                            {WM_KEYDOWN, 'X', true},
                            {WM_KEYDOWN, 'V', true},
                            {WM_CUT, 0, false},
                            {WM_PASTE, 0, false}}) {
        keys[VK_CONTROL] = edit.control ? 0x80 : 0;
        SetKeyboardState(keys);
        CharFormat(box, SCF_SELECTION, 0, 20);
        SendMessageW(box, edit.message, edit.key, 1);
        EXPECT_EQ(gui::WindowText(box), text) << edit.message << " " << edit.key;
    }
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

}  // namespace
}  // namespace dsf2vemo::testing
