#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "base_window.h"
#include "help_doubles.h"
#include "program_path.h"
#include "text_encoding.h"
#include "unique_handles.h"

// The help services for a window of the test's own, with no about box linked in: the whole road
// through the real popup menu, WinHelp recorded and the dialogs scripted.
namespace dsf2vemo::testing {
namespace {

// A plain window of the test's own with a list box, as any form using the services is: the list
// takes its colours from the window and its font from the property commands.
struct ListWindow final : gui::BaseWindow, gui::ControlProperties {
    ListWindow() {
        CreateTopLevel(L"dsf2vemo.TestListWindow", nullptr, L"", WS_OVERLAPPEDWINDOW, 0);
        list = CreateChild(L"LISTBOX", L"", 0, 1, nullptr);
    }
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message != WM_CTLCOLORLISTBOX) {
            return DefaultHandling(message, wparam, lparam);
        }
        SetTextColor(reinterpret_cast<HDC>(wparam), fore);
        SetBkColor(reinterpret_cast<HDC>(wparam), back);
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    // The colours the list paints with, as the window hands them over.
    std::pair<COLORREF, COLORREF> ListColors() {
        const HDC dc = CreateCompatibleDC(nullptr);
        SendMessageW(Hwnd(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(list));
        const std::pair colors(GetTextColor(dc), GetBkColor(dc));
        DeleteDC(dc);
        return colors;
    }
    // The list box as the services see it.
    std::wstring TypeName() const override { return L"Listbox"; }
    HWND hWnd() const override { return list; }
    std::optional<std::int32_t> WhatsThisHelpID() const override { return 32010; }
    std::optional<COLORREF> ForeColor() const override { return fore; }
    bool SetForeColor(COLORREF c) override {
        fore = c;
        return InvalidateRect(list, nullptr, TRUE);
    }
    std::optional<COLORREF> BackColor() const override { return back; }
    bool SetBackColor(COLORREF c) override {
        back = c;
        return InvalidateRect(list, nullptr, TRUE);
    }
    std::optional<gui::FontAttributes> Font() const override {
        LOGFONTW f{};
        GetObjectW(font.Get(), sizeof(f), &f);
        return gui::FontAttributes{f.lfFaceName, f.lfWeight >= FW_BOLD, f.lfItalic != 0,
                                   static_cast<float>(-f.lfHeight) * 72 / 96};
    }
    bool SetFont(const gui::FontAttributes& a) override {
        font = gui::UniqueFont(CreateFontW(-static_cast<int>(a.Size * 96 / 72), 0, 0, 0,
                                           a.Bold ? FW_BOLD : FW_NORMAL, a.Italic, 0, 0, 0, 0, 0, 0,
                                           0, a.Name.c_str()));
        SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
        return true;
    }

    HWND list = nullptr;
    COLORREF fore = RGB(0, 0, 0), back = RGB(255, 255, 255);
    gui::UniqueFont font{CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial")};
};

// No about box anywhere: the popup for the list opens for real, belonging to the list's window,
// worked with its access keys; What's This asks WinHelp for the list's topic on the window's
// behalf, and the colour and font commands change the list through the (scripted) dialogs.
TEST(HelpServicesForAnyWindow, PopupWorksForAPlainWindowsList) {
    ListWindow window;
    ScriptedHelpSeams help;
    gui::SystemPopupTracker popup;
    gui::HelpServices services({help.win_help, help.dialogs, popup});
    gui::ColorFontDialogState answer;
    const auto choose = [&](const wchar_t* keys) {
        HWND owner = nullptr;
        {
            const std::jthread worker = WorkWindow(L"#32768", [&owner, keys](HWND menu) {
                owner = GetWindow(menu, GW_OWNER);
                for (const wchar_t* key = keys; *key != 0; ++key) {
                    PostMessageW(menu, WM_CHAR, *key, 0);
                }
            });
            help.dialogs.answer = answer;
            EXPECT_EQ(services.NotWhatsThis(window, gui::kRightButton), 0);
        }
        EXPECT_EQ(owner, window.Hwnd()) << "no popup of the window's for " << keys;
    };
    choose(L"w");
    answer.Color = RGB(200, 0, 0);
    choose(L"rf");
    answer.Color = RGB(0, 0, 200);
    choose(L"rb");
    answer.FontName = L"Courier New";
    answer.FontBold = answer.FontItalic = true;
    answer.FontSize = 12;
    choose(L"ro");

    const std::string folder = gui::WideToAnsi(gui::ProgramDirectory().wstring());
    EXPECT_EQ(help.win_help.requests,
              (std::vector<WinHelpRequest>{{window.Hwnd(), folder + "\\vemoapps.hlp", 8, 32010}}));
    EXPECT_EQ(window.ListColors(), std::pair(RGB(200, 0, 0), RGB(0, 0, 200)));
    LOGFONTW shown{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window.list, WM_GETFONT, 0, 0)), sizeof(shown),
               &shown);
    EXPECT_EQ(
        std::tuple(std::wstring(shown.lfFaceName), shown.lfWeight, shown.lfItalic, shown.lfHeight),
        std::tuple(L"Courier New", FW_BOLD, BYTE{TRUE}, -16));
}

}  // namespace
}  // namespace dsf2vemo::testing
