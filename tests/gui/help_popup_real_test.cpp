#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "help_doubles.h"
#include "help_services.h"
#include "menu_typer.h"
#include "unique_hook.h"

// The popup menu opened for real with TrackPopupMenuEx and worked with the keyboard from another
// thread, and the real colour and font dialogs answered from inside their modal loops.
namespace dsf2vemo::testing {
namespace {

class RealPopupTest : public ::testing::Test {
  protected:
    RealPopupTest() {
        control_.parent = &form_;
        form_.help_context_id = 0;
        control_.whats_this_id = 32001;
        control_.back_color = RGB(10, 20, 30);
        services_.Events.BackColorChanged = [this] { events_.push_back("BackColorChanged"); };
        services_.Events.FontChanged = [this] { events_.push_back("FontChanged"); };
        ShowWindow(owner_.Hwnd(), SW_SHOWNORMAL);
    }

    OwnerWindow owner_;
    RecordingWinHelp win_help_;
    gui::SystemColorFontDialog dialogs_;
    gui::SystemPopupTracker tracker_;
    gui::HelpServices services_{owner_, {win_help_, dialogs_, tracker_}};
    FakeControl form_{L"frmAbout"};
    FakeControl control_{L"ListView", Selection::Selected};
    std::vector<std::string> events_;
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

// Answers the next dialog of this thread from inside its modal loop: a CBT hook sees it
// activated and arms a timer on it that runs `answer`.
class DialogAnswer {
  public:
    explicit DialogAnswer(std::function<void(HWND)> answer)
        : answer_(std::move(answer)),
          hook_(SetWindowsHookExW(WH_CBT, &Watch, nullptr, GetCurrentThreadId())) {
        current_ = this;
    }
    ~DialogAnswer() { current_ = nullptr; }
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;

  private:
    static LRESULT CALLBACK Watch(int code, WPARAM wparam, LPARAM lparam) {
        if (code == HCBT_ACTIVATE) {
            const auto window = reinterpret_cast<HWND>(wparam);
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) == L"#32770") {
                SetTimer(window, 1, 20, &Answer);
            }
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    static void CALLBACK Answer(HWND dialog, UINT, UINT_PTR timer, DWORD) {
        KillTimer(dialog, timer);
        if (current_ != nullptr) {
            current_->answer_(dialog);
        }
    }

    static inline DialogAnswer* current_ = nullptr;
    std::function<void(HWND)> answer_;
    UniqueHook hook_;
};

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[64] = {};
    GetDlgItemTextW(dialog, id, text, 64);
    return text;
}

// The colour dialog's boxes for red, green and blue.
constexpr int kRed = 706;
constexpr int kGreen = 707;
constexpr int kBlue = 708;

TEST_F(RealPopupTest, BackColorGoesThroughTheRealColourDialog) {
    std::vector<std::wstring> seen;
    DialogAnswer answer([&](HWND dialog) {
        seen = {ItemText(dialog, kRed), ItemText(dialog, kGreen), ItemText(dialog, kBlue)};
        SetDlgItemTextW(dialog, kRed, L"200");
        SetDlgItemTextW(dialog, kGreen, L"100");
        SetDlgItemTextW(dialog, kBlue, L"50");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    {
        MenuTyper typer({{1, WM_CHAR, L'r'}, {2, WM_CHAR, L'b'}});
        EXPECT_EQ(services_.NotWhatsThis(control_, 2), 0);
    }
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"10", L"20", L"30"}));
    EXPECT_EQ(control_.back_color, RGB(200, 100, 50));
    EXPECT_EQ(events_, std::vector<std::string>{"BackColorChanged"});
}

// The font dialog's lists of faces, styles and sizes.
constexpr int kFaces = 0x470;
constexpr int kStyles = 0x471;
constexpr int kSizes = 0x472;

// Picks entry `index` of a dialog's combo box, or the first that begins with `text`, as a click
// would; returns the entry's text.
std::wstring Pick(HWND dialog, int id, const wchar_t* text, WPARAM index = 0) {
    const HWND box = GetDlgItem(dialog, id);
    if (text != nullptr) {
        index = static_cast<WPARAM>(SendMessageW(box, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                                 reinterpret_cast<LPARAM>(text)));
    } else {
        SendMessageW(box, CB_SETCURSEL, index, 0);
    }
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    wchar_t picked[64] = {};
    if (SendMessageW(box, CB_GETLBTEXTLEN, index, 0) < 64) {
        SendMessageW(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(picked));
    }
    return picked;
}

// Wine's font dialog opens on its first face whatever it is given, so only the way back is
// checked here; the way in is the scripted dialog's.
TEST_F(RealPopupTest, FontGoesThroughTheRealFontDialog) {
    control_.font = gui::FontAttributes{L"Tahoma", false, false, 10};
    std::wstring face, style, size;
    DialogAnswer answer([&](HWND dialog) {
        // The first face that comes in bold italic.
        const HWND styles = GetDlgItem(dialog, kStyles);
        const auto faces =
            static_cast<WPARAM>(SendMessageW(GetDlgItem(dialog, kFaces), CB_GETCOUNT, 0, 0));
        for (WPARAM i = 0; i < faces && style.empty(); ++i) {
            face = Pick(dialog, kFaces, nullptr, i);
            if (SendMessageW(styles, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(L"Bold Italic")) != CB_ERR) {
                style = Pick(dialog, kStyles, L"Bold Italic");
            }
        }
        size = Pick(dialog, kSizes, L"14");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    {
        MenuTyper typer({{1, WM_CHAR, L'r'}, {2, WM_CHAR, L'o'}});
        EXPECT_EQ(services_.NotWhatsThis(control_, 2), 0);
    }
    ASSERT_FALSE(face.empty());
    ASSERT_EQ(style, L"Bold Italic");
    ASSERT_EQ(size, L"14");
    EXPECT_EQ(control_.font, (gui::FontAttributes{face, true, true, 14}));
    EXPECT_EQ(events_, std::vector<std::string>{"FontChanged"});
}

}  // namespace
}  // namespace dsf2vemo::testing
