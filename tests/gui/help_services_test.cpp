#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "case_name.h"
#include "help_doubles.h"
#include "help_file.h"
#include "help_services.h"
#include "program_path.h"

// The help services with WinHelp, the colour and font dialogs and the popup menu scripted: the
// popup menu is built for real and read back item by item instead of being opened.
namespace dsf2vemo::testing {
namespace {

using Lines = std::vector<std::wstring>;

const Lines kPropertiesItems = {L"-", L"P&roperties", L"P&roperties/&ForeColor",
                                L"P&roperties/&BackColor", L"P&roperties/F&ont"};

Lines Concat(Lines lines, const Lines& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

class HelpServicesTest : public ::testing::Test {
  protected:
    HelpServicesTest() {
        form_.help_context_id = 0;
        services_.Events.FontChanged = [this] { events_.push_back("FontChanged"); };
        services_.Events.ForeColorChanged = [this] { events_.push_back("ForeColorChanged"); };
        services_.Events.BackColorChanged = [this] { events_.push_back("BackColorChanged"); };
        services_.Events.SummarizeVariableClick = [this] {
            events_.push_back("SummarizeVariableClick");
        };
    }

    // A control of `type_name` on form_.
    FakeControl Control(std::wstring type_name) {
        FakeControl control(std::move(type_name));
        control.parent = &form_;
        return control;
    }

    // The one popup shown so far.
    Lines OnlyMenuShown() const {
        EXPECT_EQ(tracker_.shown.size(), 1u);
        return tracker_.shown.empty() ? Lines{} : tracker_.shown.back();
    }

    std::string ProgramFolder() const { return gui::WideToAnsi(gui::ProgramDirectory().wstring()); }

    OwnerWindow owner_;
    RecordingWinHelp win_help_;
    ScriptedColorFontDialog dialogs_;
    ScriptedPopupTracker tracker_;
    gui::HelpServices services_{owner_, {win_help_, dialogs_, tracker_}};
    FakeControl form_{L"frmAbout"};
    std::vector<std::string> events_;
};

struct MenuCase {
    std::string name;
    friend void PrintTo(const MenuCase& test, std::ostream* out) { *out << test.name; }
    std::function<void(FakeControl&)> setup;
    Lines expected;
};

class MenuForControl : public HelpServicesTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuForControl, ShowsTheItemsForItsKind) {
    const MenuCase& test = GetParam();
    FakeControl control = Control(L"Label");
    test.setup(control);
    EXPECT_EQ(services_.NotWhatsThis(control, 2), 0);
    EXPECT_EQ(OnlyMenuShown(), test.expected);
    ASSERT_EQ(tracker_.owners.size(), 1u);
    EXPECT_EQ(tracker_.owners[0], owner_.Hwnd());
}

const Lines kHelpOnly = {L"&What's This? (disabled)", L"&Help"};
const Lines kListMenu = Concat(kHelpOnly, kPropertiesItems);

INSTANTIATE_TEST_SUITE_P(
    Kinds, MenuForControl,
    ::testing::Values(
        MenuCase{"LabelWithHelpId",
                 [](FakeControl& c) { c.whats_this_id = 32001; },
                 {L"&What's This?", L"&Help"}},
        MenuCase{"HelpIdZero", [](FakeControl& c) { c.whats_this_id = 0; }, kHelpOnly},
        MenuCase{"NoHelpIdProperty", [](FakeControl&) {}, kHelpOnly},
        MenuCase{"NoParent", [](FakeControl& c) { c.parent = nullptr; }, kHelpOnly},
        MenuCase{"ListboxInCapitals", [](FakeControl& c) { c = FakeControl(L"LISTBOX"); },
                 kListMenu},
        MenuCase{"GridWithHelpId",
                 [](FakeControl& c) {
                     c = FakeControl(L"vsflexgrid");
                     c.whats_this_id = 5;
                 },
                 Concat({L"&What's This?", L"&Help"}, kPropertiesItems)},
        MenuCase{"Tree", [](FakeControl& c) { c = FakeControl(L"SSTree"); }, kListMenu},
        MenuCase{"Strip", [](FakeControl& c) { c = FakeControl(L"strip"); }, kListMenu},
        MenuCase{"NotQuiteAList", [](FakeControl& c) { c = FakeControl(L"List"); }, kHelpOnly},
        MenuCase{"ListViewWithSelectedItem",
                 [](FakeControl& c) {
                     c = FakeControl(L"listview");
                     c.selected_item = FakeListItem{};
                     (*c.selected_item)->selected = true;
                 },
                 Concat(kListMenu, {L"&Summarize Variable"})},
        MenuCase{"ListViewWithNothingSelected",
                 [](FakeControl& c) {
                     c = FakeControl(L"ListView");
                     c.selected_item = std::optional<FakeListItem>();
                 },
                 kListMenu},
        MenuCase{"ListViewItemNotSelected",
                 [](FakeControl& c) {
                     c = FakeControl(L"ListView");
                     c.selected_item = FakeListItem{};
                     (*c.selected_item)->selected = false;
                 },
                 kListMenu},
        MenuCase{"ListViewItemWithoutSelected",
                 [](FakeControl& c) {
                     c = FakeControl(L"ListView");
                     c.selected_item = FakeListItem{};
                 },
                 kListMenu},
        MenuCase{"ListViewWithoutSelectedItem",
                 [](FakeControl& c) { c = FakeControl(L"ListView"); }, kListMenu},
        MenuCase{"ListboxWithSelectedItem",
                 [](FakeControl& c) {
                     c = FakeControl(L"Listbox");
                     c.selected_item = FakeListItem{};
                     (*c.selected_item)->selected = true;
                 },
                 kListMenu}),
    CaseName{});

struct ButtonCase {
    std::string name;
    friend void PrintTo(const ButtonCase& test, std::ostream* out) { *out << test.name; }
    std::int16_t button;
    std::int16_t not_whats_this;
    std::int16_t custom_whats_this;
    bool shown;
};

class ButtonMask : public HelpServicesTest, public ::testing::WithParamInterface<ButtonCase> {};

// Only a mask with the right button opens a popup.
TEST_P(ButtonMask, OpensThePopupOnlyWithTheRightButton) {
    const ButtonCase& test = GetParam();
    FakeControl control = Control(L"Label");
    const std::vector<std::wstring> items = {L"&a"};
    EXPECT_EQ(services_.NotWhatsThis(control, test.button), test.not_whats_this);
    EXPECT_EQ(services_.CustomWhatsThis(control, test.button, items), test.custom_whats_this);
    EXPECT_EQ(services_.FormNotWhatsThis(form_, test.button), 0);
    EXPECT_EQ(tracker_.shown.size(), test.shown ? 3u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Masks, ButtonMask,
                         ::testing::Values(ButtonCase{"Left", 1, -1, -2, false},
                                           ButtonCase{"Middle", 4, -1, -2, false},
                                           ButtonCase{"Right", 2, 0, -1, true},
                                           ButtonCase{"LeftAndRight", 3, 0, -1, true}),
                         CaseName{});

TEST_F(HelpServicesTest, FormPopupOffersOnlyHelpAfterAListPopup) {
    FakeControl list = Control(L"ListView");
    list.whats_this_id = 7;
    list.selected_item = FakeListItem{};
    (*list.selected_item)->selected = true;
    services_.NotWhatsThis(list, 2);
    EXPECT_EQ(services_.FormNotWhatsThis(form_, 2), 0);
    ASSERT_EQ(tracker_.shown.size(), 2u);
    EXPECT_EQ(tracker_.shown[1], kHelpOnly);
    EXPECT_EQ(services_.WhatsThisControl, nullptr);
}

struct HelpCase {
    std::string name;
    friend void PrintTo(const HelpCase& test, std::ostream* out) { *out << test.name; }
    std::function<void(FakeControl& control, FakeControl& form, gui::HelpServices&)> setup;
    std::wstring pick;
    UINT command;
    ULONG_PTR data;
    std::string file;  // after the program's folder; "" for the project help file itself
};

class HelpRequest : public HelpServicesTest, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(HelpRequest, CallsWinHelpWithCommandDataAndPath) {
    const HelpCase& test = GetParam();
    FakeControl control = Control(L"Label");
    test.setup(control, form_, services_);
    tracker_.picks.push_back(test.pick);
    services_.NotWhatsThis(control, 2);
    ASSERT_EQ(win_help_.requests.size(), 1u);
    const WinHelpRequest& request = win_help_.requests[0];
    EXPECT_EQ(request.window, owner_.Hwnd());
    EXPECT_EQ(request.command, test.command);
    EXPECT_EQ(request.data, test.data);
    EXPECT_EQ(request.help_file, test.file.empty() ? "" : ProgramFolder() + test.file);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, HelpRequest,
    ::testing::Values(
        HelpCase{"WhatsThisOnTheLink",
                 [](FakeControl& c, FakeControl&, gui::HelpServices&) { c.whats_this_id = 32002; },
                 L"&What's This?", 8, 32002, "\\vemoapps.hlp"},
        HelpCase{"WhatsThisBelowTheSharedRange",
                 [](FakeControl& c, FakeControl&, gui::HelpServices& s) {
                     c.whats_this_id = 29999;
                     s.SetSpecificHelpFile(L"C:\\Docs\\mine.hlp");
                 },
                 L"&What's This?", 8, 29999, "\\mine.hlp"},
        HelpCase{"HelpWithNoContextIdAnywhere",
                 [](FakeControl&, FakeControl&, gui::HelpServices&) {}, L"&Help", 1, 3000, "\\."},
        HelpCase{"HelpWithoutAParentForm",
                 [](FakeControl& c, FakeControl&, gui::HelpServices&) { c.parent = nullptr; },
                 L"&Help", 1, 3000, "\\."},
        HelpCase{"HelpFromTheFormsContextId",
                 [](FakeControl&, FakeControl& f, gui::HelpServices&) { f.help_context_id = 1234; },
                 L"&Help", 1, 1234, "\\."},
        HelpCase{"HelpFromTheControlsContextId",
                 [](FakeControl& c, FakeControl& f, gui::HelpServices&) {
                     c.help_context_id = 31000;
                     f.help_context_id = 1234;
                 },
                 L"&Help", 1, 31000, "\\vemoapps.hlp"},
        HelpCase{"HelpFileGivenWithADirectory",
                 [](FakeControl&, FakeControl& f, gui::HelpServices& s) {
                     f.help_context_id = 12;
                     s.SetSpecificHelpFile(L"D:\\elsewhere\\sub\\own.hlp");
                 },
                 L"&Help", 1, 12, "\\own.hlp"},
        HelpCase{
            "HelpFileWithoutExtension",
            [](FakeControl&, FakeControl&, gui::HelpServices& s) { s.SetSpecificHelpFile(L"OWN"); },
            L"&Help", 1, 3000, "\\OWN."},
        HelpCase{
            "FormFailingFallsBackToContents",
            [](FakeControl&, FakeControl& f, gui::HelpServices&) { f.help_context_id.reset(); },
            L"&Help", 3, 0, ""}),
    CaseName{});

TEST_F(HelpServicesTest, HelpOnTheFormUsesItsContextId) {
    form_.help_context_id = 2000;
    tracker_.picks.push_back(L"&Help");
    services_.FormNotWhatsThis(form_, 2);
    ASSERT_EQ(win_help_.requests.size(), 1u);
    EXPECT_EQ(win_help_.requests[0].command, 1u);
    EXPECT_EQ(win_help_.requests[0].data, 2000u);
}

TEST(HelpFileFor, JoinsTheProgramFolderAndTheBareName) {
    struct Case {
        std::int32_t id;
        std::wstring specific;
        std::wstring folder;
        std::wstring expected;
    };
    const std::vector<Case> cases = {
        {30000, L"own.hlp", L"C:\\Prog", L"C:\\Prog\\vemoapps.hlp"},
        {29999, L"own.hlp", L"C:\\Prog", L"C:\\Prog\\own.hlp"},
        {-5, L"", L"C:\\Prog", L"C:\\Prog\\."},
        {40000, L"", L"C:\\", L"C:\\\\vemoapps.hlp"},
        {1, L"\\\\server\\share\\h.hlp", L"C:\\Prog", L"C:\\Prog\\h.hlp"},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(gui::HelpFileFor(test.id, test.specific, test.folder), test.expected)
            << "ID " << test.id;
    }
}

struct CustomCase {
    std::string name;
    friend void PrintTo(const CustomCase& test, std::ostream* out) { *out << test.name; }
    std::wstring type_name;
    Lines mess;
    std::wstring pick;
    Lines expected_menu;
    std::int16_t expected_choice;
};

class CustomPopup : public HelpServicesTest, public ::testing::WithParamInterface<CustomCase> {};

TEST_P(CustomPopup, ShowsTheCallersItemsAndReturnsThePick) {
    const CustomCase& test = GetParam();
    FakeControl control = Control(test.type_name);
    control.whats_this_id = 32003;
    tracker_.picks.push_back(test.pick);
    EXPECT_EQ(services_.CustomWhatsThis(control, 2, test.mess), test.expected_choice);
    EXPECT_EQ(OnlyMenuShown(), test.expected_menu);
}

const Lines kLabelMenu = {L"&What's This?", L"&Help"};
const Lines kListboxMenu = Concat(kLabelMenu, kPropertiesItems);

INSTANTIATE_TEST_SUITE_P(
    Lists, CustomPopup,
    ::testing::Values(
        CustomCase{"NoEmptyStringAllTopLevel",
                   L"Label",
                   {L"&a1", L"&b2", L"&c3"},
                   L"&b2",
                   Concat(kLabelMenu, {L"&a1", L"&b2", L"&c3"}),
                   1},
        CustomCase{"FirstTopLevelItem",
                   L"Label",
                   {L"&a1", L"&b2"},
                   L"&a1",
                   Concat(kLabelMenu, {L"&a1", L"&b2"}),
                   0},
        CustomCase{"LeadingEmptyStringAllProperties",
                   L"Listbox",
                   {L"", L"&x1", L"&y2"},
                   L"P&roperties/&y2",
                   Concat(kListboxMenu, {L"P&roperties/&x1", L"P&roperties/&y2"}),
                   101},
        CustomCase{"LaterEmptyStringsSkipped",
                   L"Listbox",
                   {L"&t", L"", L"&p", L"", L"&q"},
                   L"&t",
                   Concat(Concat(kListboxMenu, {L"P&roperties/&p", L"P&roperties/&q"}), {L"&t"}),
                   0},
        CustomCase{"Dismissed", L"Label", {L"&a1"}, L"", Concat(kLabelMenu, {L"&a1"}), -1},
        CustomCase{"WhatsThisChosen",
                   L"Label",
                   {L"&a1"},
                   L"&What's This?",
                   Concat(kLabelMenu, {L"&a1"}),
                   -1},
        CustomCase{"DashIsASeparator",
                   L"Label",
                   {L"&a1", L"-", L"&b2"},
                   L"&b2",
                   Concat(kLabelMenu, {L"&a1", L"-", L"&b2"}),
                   2},
        // Without "Properties" its items are there but cannot show.
        CustomCase{"PropertiesItemsOfAPlainControl",
                   L"Label",
                   {L"&a1", L"", L"&x1"},
                   L"",
                   Concat(kLabelMenu, {L"&a1"}),
                   -1}),
    CaseName{});

TEST_F(HelpServicesTest, UserItemsAreReusedAndHiddenBetweenPopups) {
    FakeControl control = Control(L"Listbox");
    const std::vector<std::wstring> five = {L"1", L"2", L"3", L"", L"P"};
    const std::vector<std::wstring> two = {L"A", L"B"};
    services_.CustomWhatsThis(control, 2, std::vector<std::wstring>{L"1", L"2", L"3", L"4", L"5"});
    services_.CustomWhatsThis(control, 2, two);
    services_.NotWhatsThis(control, 2);
    services_.CustomWhatsThis(control, 2, five);
    ASSERT_EQ(tracker_.shown.size(), 4u);
    EXPECT_EQ(tracker_.shown[0],
              Concat(kHelpOnly, Concat(kPropertiesItems, {L"1", L"2", L"3", L"4", L"5"})));
    EXPECT_EQ(tracker_.shown[1], Concat(kListMenu, {L"A", L"B"}));
    EXPECT_EQ(tracker_.shown[2], kListMenu);
    EXPECT_EQ(tracker_.shown[3], Concat(Concat(kListMenu, {L"P&roperties/P"}), {L"1", L"2", L"3"}));
}

struct ColorCase {
    std::string name;
    friend void PrintTo(const ColorCase& test, std::ostream* out) { *out << test.name; }
    std::wstring pick;
    bool has_property;
    std::optional<COLORREF> answer;  // unset: the dialog is cancelled
    COLORREF expected;
    std::string event;
};

class ColorCommand : public HelpServicesTest, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(ColorCommand, WritesTheDialogsColourBackAndRaisesItsEvent) {
    const ColorCase& test = GetParam();
    FakeControl control = Control(L"ListBox");
    const COLORREF before = RGB(1, 2, 3);
    const bool fore = test.pick == L"P&roperties/&ForeColor";
    if (test.has_property) {
        (fore ? control.fore_color : control.back_color) = before;
    }
    (fore ? control.back_color : control.fore_color) = RGB(9, 9, 9);
    dialogs_.color_answer = test.answer;
    tracker_.picks.push_back(test.pick);
    EXPECT_EQ(services_.NotWhatsThis(control, 2), 0);

    EXPECT_EQ(events_, std::vector<std::string>{test.event});
    if (test.has_property) {
        ASSERT_EQ(dialogs_.color_openings.size(), 1u);
        EXPECT_EQ(dialogs_.color_openings[0].Flags, static_cast<DWORD>(CC_RGBINIT));
        EXPECT_EQ(dialogs_.color_openings[0].Color, before);
        EXPECT_EQ(fore ? control.fore_color : control.back_color, test.expected);
    } else {
        EXPECT_TRUE(dialogs_.color_openings.empty());
    }
    EXPECT_EQ(fore ? control.back_color : control.fore_color, RGB(9, 9, 9));
}

INSTANTIATE_TEST_SUITE_P(
    Colours, ColorCommand,
    ::testing::Values(ColorCase{"BackColorChosen", L"P&roperties/&BackColor", true,
                                RGB(200, 100, 50), RGB(200, 100, 50), "BackColorChanged"},
                      ColorCase{"BackColorCancelled", L"P&roperties/&BackColor", true, std::nullopt,
                                RGB(1, 2, 3), "BackColorChanged"},
                      ColorCase{"ForeColorChosen", L"P&roperties/&ForeColor", true, RGB(0, 0, 255),
                                RGB(0, 0, 255), "ForeColorChanged"},
                      ColorCase{"ForeColorCancelled", L"P&roperties/&ForeColor", true, std::nullopt,
                                RGB(1, 2, 3), "ForeColorChanged"},
                      ColorCase{"NoForeColorProperty", L"P&roperties/&ForeColor", false,
                                RGB(0, 0, 255), 0, "ForeColorChanged"}),
    CaseName{});

TEST_F(HelpServicesTest, FontTravelsThroughTheDialogAndBack) {
    FakeControl control = Control(L"Listbox");
    const gui::FontAttributes before{L"Arial", false, true, 10.5f};
    const gui::FontAttributes chosen{L"Courier New", true, false, 12};
    control.font = before;
    dialogs_.font_answer = chosen;
    tracker_.picks = {L"P&roperties/F&ont", L"P&roperties/F&ont"};
    services_.NotWhatsThis(control, 2);
    ASSERT_EQ(dialogs_.font_openings.size(), 1u);
    const gui::ColorFontDialogState& opened = dialogs_.font_openings[0];
    EXPECT_EQ(opened.Flags, static_cast<DWORD>(CF_SCREENFONTS));
    EXPECT_EQ(
        gui::FontAttributes({opened.FontName, opened.FontBold, opened.FontItalic, opened.FontSize}),
        before);
    EXPECT_EQ(control.font, chosen);

    // Cancelled: the control gets its own font back, and hears of it all the same.
    dialogs_.font_answer.reset();
    services_.NotWhatsThis(control, 2);
    EXPECT_EQ(control.font, chosen);
    EXPECT_EQ(events_, (std::vector<std::string>{"FontChanged", "FontChanged"}));
}

TEST_F(HelpServicesTest, FontCommandOnAControlWithoutFontEndsWithoutItsEvent) {
    FakeControl control = Control(L"Listbox");
    tracker_.picks = {L"P&roperties/F&ont", L"P&roperties/&BackColor"};
    EXPECT_EQ(services_.NotWhatsThis(control, 2), 0);
    EXPECT_TRUE(dialogs_.font_openings.empty());
    EXPECT_TRUE(events_.empty());
    // The services carry on.
    services_.NotWhatsThis(control, 2);
    EXPECT_EQ(events_, std::vector<std::string>{"BackColorChanged"});
}

TEST_F(HelpServicesTest, SummarizeVariableOnlyRaisesItsEvent) {
    FakeControl control = Control(L"ListView");
    control.selected_item = FakeListItem{};
    (*control.selected_item)->selected = true;
    control.fore_color = RGB(1, 1, 1);
    tracker_.picks.push_back(L"&Summarize Variable");
    services_.NotWhatsThis(control, 2);
    EXPECT_EQ(events_, std::vector<std::string>{"SummarizeVariableClick"});
    EXPECT_TRUE(win_help_.requests.empty());
    EXPECT_EQ(control.fore_color, RGB(1, 1, 1));
}

TEST_F(HelpServicesTest, SpecificHelpFileIsTheProjectsUntilSet) {
    EXPECT_EQ(services_.SpecificHelpFile(), gui::kProjectHelpFile);
    services_.SetSpecificHelpFile(L"own.hlp");
    EXPECT_EQ(services_.SpecificHelpFile(), L"own.hlp");
    services_.SetSpecificHelpFile(L"");
    EXPECT_EQ(services_.SpecificHelpFile(), gui::kProjectHelpFile);
}

}  // namespace
}  // namespace dsf2vemo::testing
