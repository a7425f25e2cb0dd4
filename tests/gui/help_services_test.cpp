#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base_window.h"
#include "help_doubles.h"
#include "program_path.h"
#include "text_encoding.h"

// The help services with WinHelp recorded and the popup menu built for real but read back
// instead of opened; the colour and font dialogs scripted, then once for real.
namespace dsf2vemo::testing {
namespace {

using Lines = std::vector<std::wstring>;

Lines Concat(Lines lines, const Lines& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

const std::wstring kWhatsThis = L"&What's This?", kHelp = L"&Help";
const std::wstring kForeColor = L"P&roperties/&ForeColor", kBackColor = L"P&roperties/&BackColor",
                   kFont = L"P&roperties/F&ont";
const Lines kHelpOnly = {kWhatsThis + L" (disabled)", kHelp};
const Lines kListMenu = Concat(kHelpOnly, {L"-", L"P&roperties", kForeColor, kBackColor, kFont});

// An entry of a list-like control; unset: it has no "Selected".
struct FakeItem final : gui::ListItemProperties {
    explicit FakeItem(std::optional<bool> value) : selected(value) {}
    std::optional<bool> Selected() const override { return selected; }
    std::optional<bool> selected;
};

// A control or a form with exactly the properties that are set.
struct FakeControl final : gui::ControlProperties {
    explicit FakeControl(std::wstring type) : type_name(std::move(type)) {}
    std::wstring type_name;
    gui::ControlProperties* parent = nullptr;
    HWND window = nullptr;
    std::optional<std::int32_t> whats_this_id, help_context_id;
    std::optional<const gui::ListItemProperties*> item;  // "SelectedItem"; nullptr: none selected
    std::optional<COLORREF> fore_color, back_color;
    std::optional<gui::FontAttributes> font;

    std::wstring TypeName() const override { return type_name; }
    gui::ControlProperties* Parent() const override { return parent; }
    HWND hWnd() const override { return window; }
    std::optional<std::int32_t> WhatsThisHelpID() const override { return whats_this_id; }
    std::optional<std::int32_t> HelpContextID() const override { return help_context_id; }
    std::optional<const gui::ListItemProperties*> SelectedItem() const override { return item; }
    std::optional<COLORREF> ForeColor() const override { return fore_color; }
    bool SetForeColor(COLORREF c) override { return fore_color && (fore_color = c); }
    std::optional<COLORREF> BackColor() const override { return back_color; }
    bool SetBackColor(COLORREF c) override { return back_color && (back_color = c); }
    std::optional<gui::FontAttributes> Font() const override { return font; }
    bool SetFont(const gui::FontAttributes& f) override { return font && (font = f); }
};

// A hidden window for the popups and help windows.
struct OwnerWindow final : gui::BaseWindow {
    OwnerWindow() { CreateTopLevel(L"dsf2vemo.TestOwner", nullptr, L"", WS_OVERLAPPEDWINDOW, 0); }
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
        return DefaultHandling(message, wparam, lparam);
    }
};

class HelpServicesTest : public ::testing::Test {
  protected:
    HelpServicesTest() {
        control_.parent = &form_;
        form_.window = owner_.Hwnd();
        form_.help_context_id = 0;
        const auto record = [this](const char* event) {
            return [this, event] { events_.push_back(event); };
        };
        services_.Events = {record("Font"), record("ForeColor"), record("BackColor"),
                            record("Summarize")};
    }

    // Opens the popup for control_ with the right button and picks `pick`; the menu it showed.
    Lines Popup(const std::wstring& pick = L"") {
        help_.popup.picks.push_back(pick);
        EXPECT_EQ(services_.NotWhatsThis(control_, 2), 0);
        return help_.popup.shown.back();
    }

    OwnerWindow owner_;
    ScriptedHelpSeams help_;
    gui::HelpServices services_{help_.Seams()};
    FakeControl form_{L"frmAbout"}, control_{L"Label"};
    const FakeItem selected_{true};
    std::vector<std::string> events_;
    const std::string folder_ = gui::WideToAnsi(gui::ProgramDirectory().wstring());
};

TEST_F(HelpServicesTest, MenuShowsTheItemsForTheControlsKind) {
    const FakeItem unselected(false), without_selected(std::nullopt);
    const gui::ListItemProperties* const nothing = nullptr;
    struct Case {
        const wchar_t* type;
        std::optional<std::int32_t> whats_this_id;
        std::optional<const gui::ListItemProperties*> item;
        Lines menu;
    } const cases[] = {
        {L"Label", 32001, {}, {kWhatsThis, kHelp}},
        {L"Label", 0, {}, kHelpOnly},
        {L"Label", {}, {}, kHelpOnly},
        {L"List", {}, {}, kHelpOnly},
        {L"LISTBOX", {}, {}, kListMenu},
        {L"vsflexgrid", {}, {}, kListMenu},
        {L"sstree", {}, {}, kListMenu},
        {L"STRIP", {}, {}, kListMenu},
        // Only a list view with a selected item offers to summarize it.
        {L"listview", {}, &selected_, Concat(kListMenu, {L"&Summarize Variable"})},
        {L"ListView", {}, nothing, kListMenu},
        {L"ListView", {}, &unselected, kListMenu},
        {L"ListView", {}, &without_selected, kListMenu},
        {L"ListView", {}, {}, kListMenu},
        {L"Listbox", {}, &selected_, kListMenu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        control_.type_name = c.type;
        control_.whats_this_id = c.whats_this_id;
        control_.item = c.item;
        EXPECT_EQ(Popup(), c.menu);
    }
    EXPECT_EQ(help_.popup.owner, owner_.Hwnd());
}

// Only a mask with the right button opens a popup; the form's offers only Help, whatever control
// came before.
TEST_F(HelpServicesTest, OnlyAMaskWithTheRightButtonOpensThePopup) {
    control_.type_name = L"ListView";
    control_.item = &selected_;
    control_.whats_this_id = 7;
    const Lines items = {L"&a"};
    for (const std::int16_t button : std::initializer_list<std::int16_t>{1, 4}) {
        EXPECT_EQ(services_.NotWhatsThis(control_, button), -1);
        EXPECT_EQ(services_.CustomWhatsThis(control_, button, items), -2);
        EXPECT_EQ(services_.FormNotWhatsThis(form_, button), 0);
    }
    EXPECT_TRUE(help_.popup.shown.empty());
    EXPECT_EQ(services_.NotWhatsThis(control_, 3), 0);
    EXPECT_EQ(services_.CustomWhatsThis(control_, 3, items), -1);
    EXPECT_EQ(services_.FormNotWhatsThis(form_, 3), 0);
    ASSERT_EQ(help_.popup.shown.size(), 3u);
    EXPECT_EQ(help_.popup.shown[2], kHelpOnly);
}

// What's This and Help for control_ or its form: the IDs they carry (unset: no such property),
// the specific help file set, and the WinHelp request that follows.
TEST_F(HelpServicesTest, HelpItemsCallWinHelpForTheirTopic) {
    struct Case {
        std::optional<std::int32_t> whats_this_id, context_id, form_context_id;
        const wchar_t* specific_file;
        std::wstring pick;
        UINT command;
        ULONG_PTR data;
        const char* file;  // in the program's folder; null: the program's own help file
        bool on_form = false;
    } const cases[] = {
        {32002, {}, 0, L"", kWhatsThis, 8, 32002, "\\vemoapps.hlp"},
        {29999, {}, 0, L"C:\\Docs\\mine.hlp", kWhatsThis, 8, 29999, "\\mine.hlp"},
        {{}, {}, 0, L"", kHelp, 1, 3000, "\\."},
        {{}, 0, 1234, L"D:\\elsewhere\\own.hlp", kHelp, 1, 1234, "\\own.hlp"},
        {{}, 30000, 1234, L"own.hlp", kHelp, 1, 30000, "\\vemoapps.hlp"},
        {{}, 30000, 2000, L"", kHelp, 1, 2000, "\\.", true},
        // A form without a help context ID: the contents of the program's own file.
        {{}, {}, {}, L"own.hlp", kHelp, 3, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        control_.whats_this_id = c.whats_this_id;
        control_.help_context_id = c.context_id;
        form_.help_context_id = c.form_context_id;
        services_.SetSpecificHelpFile(c.specific_file);
        help_.popup.picks.push_back(c.pick);
        c.on_form ? services_.FormNotWhatsThis(form_, 2) : services_.NotWhatsThis(control_, 2);
        EXPECT_EQ(help_.win_help.requests.back(),
                  WinHelpRequest(owner_.Hwnd(), c.file ? folder_ + c.file : "", c.command, c.data));
    }
    EXPECT_EQ(help_.win_help.requests.size(), std::size(cases));
}

// The caller's items: those up to the first empty string at the top level, later ones under
// "Properties"; each popup shows only its own, and the pick comes back as k or 100 + k.
TEST_F(HelpServicesTest, CustomItemsShowAndReturnThePick) {
    control_.type_name = L"Listbox";
    struct Step {
        Lines items;
        std::wstring pick;
        Lines shown;  // after the list menu
        std::int16_t choice;
    } const steps[] = {
        {{L"1", L"2", L"3", L"4", L"5"}, L"3", {L"1", L"2", L"3", L"4", L"5"}, 2},
        {{L"", L"x", L"y"}, L"P&roperties/y", {L"P&roperties/x", L"P&roperties/y"}, 101},
        {{L"A", L"B"}, L"", {L"A", L"B"}, -1},
        {{L"t", L"", L"p", L"", L"q"}, L"t", {L"P&roperties/p", L"P&roperties/q", L"t"}, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(&step - steps);
        help_.popup.picks.push_back(step.pick);
        EXPECT_EQ(services_.CustomWhatsThis(control_, 2, step.items), step.choice);
        EXPECT_EQ(help_.popup.shown.back(), Concat(kListMenu, step.shown));
    }
}

// The colour and font commands hand the control's value to their dialog and write the answer
// back (a cancelled dialog's answer is the old value), then raise their event. A control without
// the colour opens no dialog but hears of it all the same; without a font, not even that.
TEST_F(HelpServicesTest, PropertyCommandsRoundTripThroughTheDialogs) {
    control_.type_name = L"ListView";
    control_.item = &selected_;
    auto& dialogs = help_.dialogs;
    Popup(L"&Summarize Variable");
    control_.back_color = RGB(1, 2, 3);
    dialogs.answer.emplace().Color = RGB(200, 100, 50);
    Popup(kBackColor);
    dialogs.answer.reset();
    Popup(kBackColor);
    Popup(kForeColor);
    control_.fore_color = RGB(9, 9, 9);
    dialogs.answer.emplace().Color = RGB(0, 0, 255);
    Popup(kForeColor);
    ASSERT_EQ(dialogs.colors.size(), 3u);
    EXPECT_EQ(dialogs.colors[0].Flags, static_cast<DWORD>(CC_RGBINIT));
    EXPECT_EQ(dialogs.colors[0].Color, RGB(1, 2, 3));
    EXPECT_EQ(dialogs.colors[1].Color, RGB(200, 100, 50));
    EXPECT_EQ(dialogs.colors[2].Color, RGB(9, 9, 9));
    EXPECT_EQ(control_.back_color, RGB(200, 100, 50));
    EXPECT_EQ(control_.fore_color, RGB(0, 0, 255));

    Popup(kFont);
    const gui::FontAttributes before{L"Arial", false, true, 10.5f},
        chosen{L"Mono", true, false, 12};
    control_.font = before;
    dialogs.answer = {0, 0, chosen.Name, true, false, 12, {}};
    Popup(kFont);
    dialogs.answer.reset();
    Popup(kFont);
    const auto opened = [&](std::size_t i) {
        const gui::ColorFontDialogState& s = dialogs.fonts.at(i);
        return gui::FontAttributes{s.FontName, s.FontBold, s.FontItalic, s.FontSize};
    };
    ASSERT_EQ(dialogs.fonts.size(), 2u);
    EXPECT_EQ(dialogs.fonts[0].Flags, static_cast<DWORD>(CF_SCREENFONTS));
    EXPECT_EQ(opened(0), before);
    EXPECT_EQ(opened(1), chosen);
    EXPECT_EQ(control_.font, chosen);
    EXPECT_EQ(events_, (std::vector<std::string>{"Summarize", "BackColor", "BackColor", "ForeColor",
                                                 "ForeColor", "Font", "Font"}));
    EXPECT_TRUE(help_.win_help.requests.empty());
}

// A font size the dialog doesn't take fails the command before the dialog opens: the control
// keeps its font and hears nothing.
TEST_F(HelpServicesTest, FontCommandRefusesSizesTheDialogDoesNotTake) {
    control_.type_name = L"ListView";
    control_.item = &selected_;
    const float inf = std::numeric_limits<float>::infinity();
    for (const float size :
         {std::nanf(""), inf, -inf, 0.0f, 0.5f, -12.0f, 1639.0f, 1.0f, 1638.0f}) {
        SCOPED_TRACE(size);
        const gui::FontAttributes font{L"Arial", false, false, size};
        control_.font = font;
        help_.dialogs.fonts.clear();
        events_.clear();
        help_.dialogs.answer = {0, 0, L"Mono", false, false, 12, {}};
        Popup(kFont);
        const bool takes = size == 1.0f || size == 1638.0f;
        EXPECT_EQ(help_.dialogs.fonts.size(), takes ? 1u : 0u);
        EXPECT_EQ(events_.size(), takes ? 1u : 0u);
        EXPECT_EQ(control_.font->Name, takes ? L"Mono" : L"Arial");
    }
}

// ChooseColorW and ChooseFontW, answered from inside their modal loops.
TEST_F(HelpServicesTest, RealDialogsCarryTheChoiceBack) {
    gui::SystemColorFontDialog real;
    gui::HelpServices services{{help_.win_help, real, help_.popup}};
    control_.type_name = L"Listbox";
    control_.back_color = RGB(10, 20, 30);
    control_.font = gui::FontAttributes{L"Tahoma", true, false, 10};
    const auto pick_with_dialog = [&](const std::wstring& pick, std::function<void(HWND)> act) {
        const std::jthread worker = WorkWindow(L"#32770", std::move(act));
        help_.popup.picks.push_back(pick);
        services.NotWhatsThis(control_, 2);
    };
    // Edits 706 to 708 hold red, green and blue.
    std::vector<UINT> seen;
    pick_with_dialog(kBackColor, [&](HWND dialog) {
        for (const auto& [id, value] : {std::pair{706, 200u}, {707, 100u}, {708, 50u}}) {
            seen.push_back(GetDlgItemInt(dialog, id, nullptr, FALSE));
            SetDlgItemInt(dialog, id, value, FALSE);
        }
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(seen, (std::vector<UINT>{10, 20, 30}));
    EXPECT_EQ(control_.back_color, RGB(200, 100, 50));

    // Combo boxes 0x470 to 0x472 hold faces, styles and sizes; a selection is told as a click's.
    const auto select = [](HWND dialog, int id, UINT message, WPARAM wparam, const wchar_t* s) {
        const HWND box = GetDlgItem(dialog, id);
        if (SendMessageW(box, message, wparam, reinterpret_cast<LPARAM>(s)) == CB_ERR) {
            return false;
        }
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box));
        return true;
    };
    // The dialog opens on the control's face, style and size; the first face with bold italic, at
    // 14 points, comes back.
    const auto any = static_cast<WPARAM>(-1);
    std::wstring face;
    std::vector<std::wstring> opened_on;
    pick_with_dialog(kFont, [&](HWND dialog) {
        for (const int id : {0x470, 0x471, 0x472}) {
            wchar_t text[LF_FACESIZE] = {};
            opened_on.emplace_back(text, GetDlgItemTextW(dialog, id, text, LF_FACESIZE));
        }
        for (WPARAM i = 0; face.empty() && select(dialog, 0x470, CB_SETCURSEL, i, nullptr); ++i) {
            if (select(dialog, 0x471, CB_SELECTSTRING, any, L"Bold Italic")) {
                wchar_t name[LF_FACESIZE] = {};
                face = std::wstring(name, GetDlgItemTextW(dialog, 0x470, name, LF_FACESIZE));
            }
        }
        select(dialog, 0x472, CB_SELECTSTRING, any, L"14");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(opened_on, (std::vector<std::wstring>{L"Tahoma", L"Bold", L"10"}));
    EXPECT_EQ(control_.font, (gui::FontAttributes{face, true, true, 14}));
}

}  // namespace
}  // namespace dsf2vemo::testing
