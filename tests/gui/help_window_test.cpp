#include <gtest/gtest.h>

#include <richedit.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "case_name.h"
#include "dsf_builder.h"
#include "form1_fixture.h"
#include "help_control_ids.h"
#include "text_encoding.h"

namespace dsf2vemo::testing {
namespace {

std::wstring ExpectedHelpText() {
    return gui::AnsiToWide(
        ReadFileText(std::filesystem::path(DSF2VEMO_TEST_DATA_DIR) / "help_text.txt"));
}

BOOL CALLBACK CollectHelpWindow(HWND window, LPARAM windows) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (std::wstring(name) == L"dsf2vemo.frmHelp") {
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    }
    return TRUE;
}

void Select(HWND box, LONG from, LONG to) {
    CHARRANGE range{from, to};
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

CHARFORMAT2W CharFormat(HWND box, WPARAM which) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    SendMessageW(box, EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&format));
    return format;
}

class HelpWindowTest : public Form1Fixture {
  protected:
    void ClickHelp() { Click(gui::IDC_cmdHelp); }

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
};

// Each sequence leaves one help window, owned by the main window and active, with the whole text
// once, caret and view at the top. A click while it is open brings the same window forward.
enum class Action { ClickHelp, CloseHelp, MinimiseHelp };

struct OpeningCase {
    std::string name;
    std::vector<Action> actions;
    bool first_window_kept;
};

class HelpOpeningTest : public HelpWindowTest, public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(HelpOpeningTest, ShowsOneWindowWithTheTextOnce) {
    HWND first_window = nullptr;
    for (const Action action : GetParam().actions) {
        if (action == Action::ClickHelp) {
            ClickHelp();
            first_window = first_window != nullptr ? first_window : Help();
        } else {
            SendMessageW(Help(), WM_SYSCOMMAND,
                         action == Action::CloseHelp ? SC_CLOSE : SC_MINIMIZE, 0);
        }
    }
    const HWND help = Help();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help == first_window, GetParam().first_window_kept);
    EXPECT_EQ(gui::WindowText(help), L"Help");
    EXPECT_EQ(GetWindow(help, GW_OWNER), form_.Hwnd());
    EXPECT_TRUE(IsWindowVisible(help) && !IsIconic(help));
    EXPECT_EQ(GetActiveWindow(), help);
    EXPECT_EQ(GetFocus(), HelpBox());
    EXPECT_EQ(gui::WindowText(HelpBox()), ExpectedHelpText());
    CHARRANGE selection{-1, -1};
    SendMessageW(HelpBox(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    EXPECT_EQ(std::make_pair(selection.cpMin, selection.cpMax), std::make_pair(0L, 0L));
    EXPECT_EQ(SendMessageW(HelpBox(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

using enum Action;
INSTANTIATE_TEST_SUITE_P(
    Sequences, HelpOpeningTest,
    ::testing::Values(OpeningCase{"first_click", {ClickHelp}, true},
                      OpeningCase{"second_click", {ClickHelp, ClickHelp}, true},
                      OpeningCase{
                          "click_while_minimised", {ClickHelp, MinimiseHelp, ClickHelp}, true},
                      OpeningCase{"closed_and_reopened", {ClickHelp, CloseHelp, ClickHelp}, false}),
    CaseName());

TEST_F(HelpWindowTest, FormatsHeadingsButtonNamesAndIndents) {
    ClickHelp();
    const HWND box = HelpBox();
    // Positions in the control count a line break as one character.
    std::wstring text = gui::WindowText(box);
    for (std::size_t at = text.find(L"\r\n"); at != std::wstring::npos;
         at = text.find(L"\r\n", at)) {
        text.erase(at + 1, 1);
    }
    std::vector<std::wstring> bold_runs;
    bool in_run = false;
    for (LONG at = 0; at < static_cast<LONG>(text.size()); ++at) {
        Select(box, at, at + 1);
        const CHARFORMAT2W format = CharFormat(box, SCF_SELECTION);
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

    // Each paragraph's first characters ("" for an empty one) and its left indent in twips.
    std::vector<std::pair<std::wstring, LONG>> paragraphs;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(L'\r', start), text.size());
        Select(box, static_cast<LONG>(start), static_cast<LONG>(start));
        PARAFORMAT2 format{};
        format.cbSize = sizeof(format);
        SendMessageW(box, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
        paragraphs.emplace_back(text.substr(start, std::min<std::size_t>(end - start, 12)),
                                format.dxStartIndent);
        start = end + 1;
    }
    const std::vector<std::pair<std::wstring, LONG>> expected_paragraphs = {{L"Purpose of t", 0},
                                                                            {L"", 0},
                                                                            {L"This program", 150},
                                                                            {L"", 150},
                                                                            {L"How to use t", 0},
                                                                            {L"", 0},
                                                                            {L"Click Input ", 150},
                                                                            {L"", 150},
                                                                            {L"Click Output", 150},
                                                                            {L"", 150},
                                                                            {L"Click Conver", 150},
                                                                            {L"", 150},
                                                                            {L"Things to lo", 0},
                                                                            {L"", 0},
                                                                            {L"The format o", 150},
                                                                            {L"", 150},
                                                                            {L"The 2nd orde", 150},
                                                                            {L"", 150},
                                                                            {L"", 0}};
    EXPECT_EQ(paragraphs, expected_paragraphs);
}

// The box covers the client area after every change of size, minimising and DPI changes included,
// and wraps its text at its width.
struct BoxLayoutCase {
    std::string name;
    std::function<void(HWND help)> change;
};

class HelpBoxLayoutTest : public HelpWindowTest,
                          public ::testing::WithParamInterface<BoxLayoutCase> {};

TEST_P(HelpBoxLayoutTest, CoversTheClientArea) {
    ClickHelp();
    const HWND help = Help();
    GetParam().change(help);
    RECT client{};
    GetClientRect(help, &client);
    RECT box{};
    GetWindowRect(HelpBox(), &box);
    MapWindowPoints(nullptr, help, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(std::vector<LONG>({box.left, box.top, box.right, box.bottom}),
              std::vector<LONG>({0, 0, client.right, client.bottom}));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, HelpBoxLayoutTest,
    ::testing::Values(BoxLayoutCase{"shrunk_to_a_sliver",
                                    [](HWND help) {
                                        SetWindowPos(help, nullptr, 0, 0, 2, 2,
                                                     SWP_NOMOVE | SWP_NOZORDER);
                                    }},
                      BoxLayoutCase{"minimised",
                                    [](HWND help) {
                                        ShowWindow(help, SW_MINIMIZE);
                                        ASSERT_TRUE(IsIconic(help));
                                    }},
                      BoxLayoutCase{"dpi_changed",
                                    [](HWND help) {
                                        RECT suggested{10, 20, 10 + 730, 20 + 380};
                                        SendMessageW(help, WM_DPICHANGED, MAKEWPARAM(192, 192),
                                                     reinterpret_cast<LPARAM>(&suggested));
                                        RECT window{};
                                        GetWindowRect(help, &window);
                                        EXPECT_EQ(window.left, 10);
                                        EXPECT_EQ(window.right - window.left, 730);
                                    }}),
    CaseName());

TEST_F(HelpWindowTest, WrapsAtTheBoxWidth) {
    ClickHelp();
    const auto lines = [&] { return SendMessageW(HelpBox(), EM_GETLINECOUNT, 0, 0); };
    const auto design_lines = lines();
    EXPECT_GT(design_lines, 19 + 10);  // 19 paragraphs, the long ones on several lines
    SetWindowPos(Help(), nullptr, 0, 0, 1200, 700, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_LT(lines(), design_lines);
}

// The tooltip background, set for the test to a colour no other system colour has.
class InfoBackground {
  public:
    explicit InfoBackground(COLORREF colour) : saved_(GetSysColor(COLOR_INFOBK)) { Set(colour); }
    ~InfoBackground() { Set(saved_); }
    InfoBackground(const InfoBackground&) = delete;
    InfoBackground& operator=(const InfoBackground&) = delete;

  private:
    static void Set(COLORREF colour) {
        const INT element = COLOR_INFOBK;
        SetSysColors(1, &element, &colour);
    }
    COLORREF saved_;
};

TEST_F(HelpWindowTest, OpensCentredOverTheMainWindowWithItsLook) {
    const InfoBackground info(RGB(250, 240, 200));
    // Away from the screen's centre, where the main window opens.
    SetWindowPos(form_.Hwnd(), nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ClickHelp();
    const HWND help = Help();
    RECT client{};
    GetClientRect(help, &client);
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(363L, 170L));  // twips:
    RECT main{};  // 5448 by 2556 at 96 DPI
    GetWindowRect(form_.Hwnd(), &main);
    RECT window{};
    GetWindowRect(help, &window);
    EXPECT_LE(std::abs((window.left + window.right) - (main.left + main.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (main.top + main.bottom)), 1);
    EXPECT_EQ(GetClassLongPtrW(help, GCLP_HICON), GetClassLongPtrW(form_.Hwnd(), GCLP_HICON));
    const auto style = GetWindowLongPtrW(HelpBox(), GWL_STYLE);
    EXPECT_EQ(style & (WS_VSCROLL | WS_HSCROLL), WS_VSCROLL);
    // Setting the background colour answers the one it replaces.
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(HelpBox(), EM_SETBKGNDCOLOR, 0, 0)),
              RGB(250, 240, 200));
}

// Typing, deleting and pasting change nothing.
struct EditCase {
    std::string name;
    int modifier;  // VK_CONTROL or 0
    std::vector<WPARAM> keys;
    std::wstring characters;
    UINT message;  // sent last, or 0
};

class HelpReadOnlyTest : public HelpWindowTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(HelpReadOnlyTest, KeepsTheText) {
    ClickHelp();
    const HWND box = HelpBox();
    // Another test program may hold the clipboard for a moment.
    bool opened = OpenClipboard(box) != 0;
    for (int attempt = 0; attempt < 100 && !opened; ++attempt) {
        Sleep(10);
        opened = OpenClipboard(box) != 0;
    }
    ASSERT_TRUE(opened);
    EmptyClipboard();
    const std::wstring pasted = L"pasted";
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(L"pasted"));
    std::memcpy(GlobalLock(memory), pasted.c_str(), sizeof(L"pasted"));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns it now
    CloseClipboard();

    SetFocus(box);
    Select(box, 0, 20);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = GetParam().modifier == VK_CONTROL ? 0x80 : 0;
    SetKeyboardState(keys);
    for (const WPARAM key : GetParam().keys) {
        SendMessageW(box, WM_KEYDOWN, key, 1);
        SendMessageW(box, WM_KEYUP, key, 0xC0000001);
    }
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    for (const wchar_t c : GetParam().characters) {
        SendMessageW(box, WM_CHAR, c, 1);
    }
    if (GetParam().message != 0) {
        SendMessageW(box, GetParam().message, 0, 0);
    }
    EXPECT_EQ(gui::WindowText(box), ExpectedHelpText());
}

INSTANTIATE_TEST_SUITE_P(Edits, HelpReadOnlyTest,
                         ::testing::Values(EditCase{"typing", 0, {}, L"typed\r\b", 0},
                                           EditCase{"delete_keys", 0, {VK_DELETE, VK_BACK}, L"", 0},
                                           EditCase{"control_x", VK_CONTROL, {'X'}, L"", 0},
                                           EditCase{"control_v", VK_CONTROL, {'V'}, L"", 0},
                                           EditCase{"cut_message", 0, {}, L"", WM_CUT},
                                           EditCase{"paste_message", 0, {}, L"", WM_PASTE}),
                         CaseName());

// Text in either rich text box is regular unless made bold: the default format sets the weight
// as well as the face and size.
TEST_F(HelpWindowTest, RichTextBoxesDefaultToRegularMsSansSerif) {
    WriteFileBytes(File(L"demo.dsf"), BuildDsf(DemoMomentData(), kDemoHeader));
    Input(File(L"demo.dsf"));
    ClickHelp();
    for (const HWND box : {Control(gui::IDC_RichTextBox1), HelpBox()}) {
        const CHARFORMAT2W format = CharFormat(box, SCF_DEFAULT);
        EXPECT_EQ(std::wstring(format.szFaceName), L"MS Sans Serif");
        EXPECT_EQ(format.yHeight, 160);  // 8 points in twips
        EXPECT_EQ(format.wWeight, FW_NORMAL);
        EXPECT_EQ(format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT), 0u);
    }
    // The whole echo reads back regular.
    const HWND pane = Control(gui::IDC_RichTextBox1);
    Select(pane, 0, -1);
    const CHARFORMAT2W echo = CharFormat(pane, SCF_SELECTION);
    EXPECT_TRUE(echo.dwMask & CFM_BOLD) << "the echo mixes weights";
    EXPECT_FALSE(echo.dwEffects & CFE_BOLD);
}

TEST_F(HelpWindowTest, ClosesWithTheMainWindow) {
    ClickHelp();
    const HWND help = Help();
    DestroyWindow(form_.Hwnd());
    EXPECT_FALSE(IsWindow(help));
    EXPECT_TRUE(HelpWindows().empty());
}

}  // namespace
}  // namespace dsf2vemo::testing
