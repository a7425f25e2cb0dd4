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
#include "dpi.h"
#include "dsf_builder.h"
#include "form1_fixture.h"
#include "help_control_ids.h"
#include "text_encoding.h"

namespace dsf2vemo::testing {
namespace {

namespace fs = std::filesystem;

std::wstring ExpectedHelpText() {
    return gui::AnsiToWide(ReadFileText(fs::path(DSF2VEMO_TEST_DATA_DIR) / "help_text.txt"));
}

BOOL CALLBACK CollectHelpWindow(HWND window, LPARAM windows) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (std::wstring(name) == L"dsf2vemo.frmHelp") {
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    }
    return TRUE;
}

std::pair<LONG, LONG> Selection(HWND box) {
    CHARRANGE range{};
    SendMessageW(box, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return {range.cpMin, range.cpMax};
}

void Select(HWND box, LONG from, LONG to) {
    CHARRANGE range{from, to};
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

// The text as the control holds it: one CR ends each paragraph, and character positions count
// it once.
std::wstring ControlText(HWND box) {
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto size = SendMessageW(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring text(static_cast<std::size_t>(size) + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr,
                  nullptr};
    text.resize(static_cast<std::size_t>(SendMessageW(
        box, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

CHARFORMAT2W CharFormat(HWND box, WPARAM which) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    SendMessageW(box, EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&format));
    return format;
}

// The main window with its Help button.
class HelpWindowTest : public Form1Fixture {
  protected:
    void ClickHelp() { Click(gui::IDC_cmdHelp); }

    // Every help window of this thread.
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

// Sequences of clicks and closings: each leaves one help window, owned by the main window,
// active, with the whole text once and its top in view. A click while it is open brings the same
// window forward; only closing it makes the next click build a new one.
enum class Action { ClickHelp, CloseHelp, ActivateMain, MinimiseHelp };

struct OpeningCase {
    std::string name;
    std::vector<Action> actions;
    bool first_window_kept;
};

class HelpOpeningTest : public HelpWindowTest, public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(HelpOpeningTest, ShowsOneWindowWithTheTextOnce) {
    HWND first_window = nullptr;
    for (const Action action : GetParam().actions) {
        switch (action) {
            case Action::ClickHelp:
                ClickHelp();
                if (first_window == nullptr) {
                    first_window = Help();
                }
                break;
            case Action::CloseHelp:
                SendMessageW(Help(), WM_CLOSE, 0, 0);
                break;
            case Action::ActivateMain:
                SetActiveWindow(form_.Hwnd());
                break;
            case Action::MinimiseHelp:
                ShowWindow(Help(), SW_MINIMIZE);
                break;
        }
    }
    const HWND help = Help();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(gui::WindowText(help), L"Help");
    EXPECT_EQ(GetWindow(help, GW_OWNER), form_.Hwnd());
    EXPECT_EQ(help == first_window, GetParam().first_window_kept);
    EXPECT_TRUE(IsWindowVisible(help));
    EXPECT_FALSE(IsIconic(help));
    EXPECT_EQ(GetActiveWindow(), help);
    const HWND box = HelpBox();
    EXPECT_EQ(gui::WindowText(box), ExpectedHelpText());
    EXPECT_EQ(Selection(box), std::make_pair(0L, 0L));
    EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_TRUE(box_.shown.empty());
}

using enum Action;
INSTANTIATE_TEST_SUITE_P(
    Sequences, HelpOpeningTest,
    ::testing::Values(
        OpeningCase{"first_click", {ClickHelp}, true},
        OpeningCase{"second_click", {ClickHelp, ClickHelp}, true},
        OpeningCase{
            "click_after_activating_the_main_window", {ClickHelp, ActivateMain, ClickHelp}, true},
        OpeningCase{"click_while_minimised", {ClickHelp, MinimiseHelp, ClickHelp}, true},
        OpeningCase{"closed_and_reopened", {ClickHelp, CloseHelp, ClickHelp}, false},
        OpeningCase{
            "reopened_twice", {ClickHelp, CloseHelp, ClickHelp, CloseHelp, ClickHelp}, false}),
    CaseName());

// Headings and button names bold, nothing else; body paragraphs indented by 150 twips.
TEST_F(HelpWindowTest, FormatsHeadingsButtonNamesAndIndents) {
    ClickHelp();
    const HWND box = HelpBox();
    const std::wstring text = ControlText(box);

    std::vector<std::wstring> bold_runs;
    bool in_run = false;
    for (LONG position = 0; position < static_cast<LONG>(text.size()); ++position) {
        Select(box, position, position + 1);
        const CHARFORMAT2W format = CharFormat(box, SCF_SELECTION);
        const bool bold = (format.dwEffects & CFE_BOLD) != 0;
        EXPECT_EQ(format.wWeight, bold ? FW_BOLD : FW_NORMAL) << "at " << position;
        if (bold && !in_run) {
            bold_runs.emplace_back();
        }
        if (bold) {
            bold_runs.back() += text[static_cast<std::size_t>(position)];
        }
        in_run = bold;
    }
    const std::vector<std::wstring> expected_bold = {
        L"Purpose of the program", L"How to use the program", L"Input", L"Output", L"Convert",
        L"Things to look out for"};
    EXPECT_EQ(bold_runs, expected_bold);

    // Each paragraph's first words (or "" for an empty one) and its indent.
    std::vector<std::pair<std::wstring, LONG>> paragraphs;
    std::size_t start = 0;
    while (start <= text.size()) {
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

// The box covers the client area after every change of size, minimised and DPI changes included.
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
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, client.right);
    EXPECT_EQ(box.bottom, client.bottom);
}

void SetHelpSize(HWND help, int width, int height) {
    SetWindowPos(help, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, HelpBoxLayoutTest,
    ::testing::Values(BoxLayoutCase{"as_opened", [](HWND) {}},
                      BoxLayoutCase{"enlarged", [](HWND help) { SetHelpSize(help, 900, 700); }},
                      BoxLayoutCase{"shrunk_to_a_sliver",
                                    [](HWND help) { SetHelpSize(help, 2, 2); }},
                      BoxLayoutCase{"minimised",
                                    [](HWND help) {
                                        ShowWindow(help, SW_MINIMIZE);
                                        ASSERT_TRUE(IsIconic(help));
                                    }},
                      BoxLayoutCase{"restored",
                                    [](HWND help) {
                                        ShowWindow(help, SW_MINIMIZE);
                                        ShowWindow(help, SW_RESTORE);
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

// The tooltip background, made unlike any other system colour for the test.
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
    ASSERT_EQ(GetSysColor(COLOR_INFOBK), RGB(250, 240, 200));
    // Away from the screen's centre, where the main window opens.
    SetWindowPos(form_.Hwnd(), nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ClickHelp();
    const HWND help = Help();
    RECT client{};
    GetClientRect(help, &client);
    EXPECT_EQ(client.right, 363);   // 5448 twips at 96 DPI
    EXPECT_EQ(client.bottom, 170);  // 2556 twips
    RECT main{};
    GetWindowRect(form_.Hwnd(), &main);
    RECT window{};
    GetWindowRect(help, &window);
    EXPECT_LE(std::abs((window.left + window.right) - (main.left + main.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (main.top + main.bottom)), 1);
    EXPECT_EQ(GetClassLongPtrW(help, GCLP_HICON), GetClassLongPtrW(form_.Hwnd(), GCLP_HICON));

    const HWND box = HelpBox();
    const auto style = GetWindowLongPtrW(box, GWL_STYLE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & WS_HSCROLL);
    // Setting the background colour answers the one it replaces.
    const auto colour = static_cast<COLORREF>(SendMessageW(box, EM_SETBKGNDCOLOR, 0, 0));
    EXPECT_EQ(colour, RGB(250, 240, 200));
}

TEST_F(HelpWindowTest, WrapsAtTheBoxWidth) {
    ClickHelp();
    const HWND help = Help();
    const auto lines = [&] { return SendMessageW(HelpBox(), EM_GETLINECOUNT, 0, 0); };
    // 19 paragraphs; at the design width the long ones take several lines each.
    const auto design_lines = lines();
    EXPECT_GT(design_lines, 19 + 10);
    SetHelpSize(help, 1200, 700);
    const auto wide_lines = lines();
    EXPECT_LT(wide_lines, design_lines);
    EXPECT_GE(wide_lines, 19);
}

// Nothing the user does changes the text.
struct EditCase {
    std::string name;
    std::function<void(HWND box)> edit;
};

class HelpReadOnlyTest : public HelpWindowTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(HelpReadOnlyTest, KeepsTheText) {
    ClickHelp();
    const HWND box = HelpBox();
    SetFocus(box);
    GetParam().edit(box);
    EXPECT_EQ(gui::WindowText(box), ExpectedHelpText());
}

void PutOnClipboard(HWND owner, const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    ASSERT_NE(memory, nullptr);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns it now
    CloseClipboard();
}

// A key pressed and released, with `modifier` (VK_CONTROL, VK_SHIFT) held down if given.
void Key(HWND box, WPARAM key, int modifier = 0) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE saved = modifier != 0 ? keys[modifier] : 0;
    if (modifier != 0) {
        keys[modifier] = 0x80;
        SetKeyboardState(keys);
    }
    SendMessageW(box, WM_KEYDOWN, key, 1);
    SendMessageW(box, WM_KEYUP, key, 0xC0000001);
    if (modifier != 0) {
        keys[modifier] = saved;
        SetKeyboardState(keys);
    }
}

void Type(HWND box) {
    for (const wchar_t c : std::wstring(L"typed\r")) {
        SendMessageW(box, WM_CHAR, c, 1);
    }
}

void Paste(HWND box, int modifier, WPARAM key) {
    PutOnClipboard(box, L"pasted");
    Select(box, 0, 5);
    if (key == 0) {
        SendMessageW(box, WM_PASTE, 0, 0);
        SendMessageW(box, EM_PASTESPECIAL, CF_UNICODETEXT, 0);
    } else {
        Key(box, key, modifier);
    }
}

void Delete(HWND box, int modifier, WPARAM key) {
    Select(box, 0, 20);
    Key(box, key, modifier);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, HelpReadOnlyTest,
    ::testing::Values(EditCase{"typing", Type},
                      EditCase{"delete_key", [](HWND box) { Delete(box, 0, VK_DELETE); }},
                      EditCase{"backspace_key", [](HWND box) { Delete(box, 0, VK_BACK); }},
                      EditCase{"control_x", [](HWND box) { Delete(box, VK_CONTROL, 'X'); }},
                      EditCase{"shift_delete", [](HWND box) { Delete(box, VK_SHIFT, VK_DELETE); }},
                      EditCase{"cut_message",
                               [](HWND box) {
                                   Select(box, 0, -1);
                                   SendMessageW(box, WM_CUT, 0, 0);
                               }},
                      EditCase{"paste_messages", [](HWND box) { Paste(box, 0, 0); }},
                      EditCase{"control_v", [](HWND box) { Paste(box, VK_CONTROL, 'V'); }}),
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
