#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <optional>
#include <string>
#include <vector>

#include "case_name.h"
#include "help_doubles.h"
#include "help_services.h"
#include "program_path.h"

// The help services with WinHelp, the colour and font dialogs and the popup menu scripted: the
// popup menu is built for real and read back item by item instead of being opened.
namespace dsf2vemo::testing {
namespace {

using Lines = std::vector<std::wstring>;

Lines Concat(Lines lines, const Lines& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

const Lines kProperties = {L"-", L"P&roperties", L"P&roperties/&ForeColor",
                           L"P&roperties/&BackColor", L"P&roperties/F&ont"};
const Lines kHelpOnly = {L"&What's This? (disabled)", L"&Help"};
const Lines kWithWhatsThis = {L"&What's This?", L"&Help"};
const Lines kListMenu = Concat(kHelpOnly, kProperties);

class HelpServicesTest : public ::testing::Test {
  protected:
    HelpServicesTest() {
        form_.help_context_id = 0;
        const auto record = [this](const char* event) {
            return [this, event] { events_.push_back(event); };
        };
        services_.Events = {record("FontChanged"), record("ForeColorChanged"),
                            record("BackColorChanged"), record("SummarizeVariableClick")};
    }

    FakeControl Control(std::wstring type_name, Selection selection = Selection::NoProperty) {
        FakeControl control(std::move(type_name), selection);
        control.parent = &form_;
        return control;
    }

    Lines OnlyMenuShown() const {
        EXPECT_EQ(tracker_.shown.size(), 1u);
        return tracker_.shown.empty() ? Lines{} : tracker_.shown.back();
    }

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
    std::wstring type_name;
    std::optional<std::int32_t> whats_this_id;
    Selection selection;
    Lines expected;
    friend void PrintTo(const MenuCase& test, std::ostream* out) { *out << test.name; }
};

class MenuForControl : public HelpServicesTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuForControl, ShowsTheItemsForItsKind) {
    const MenuCase& test = GetParam();
    FakeControl control = Control(test.type_name, test.selection);
    control.whats_this_id = test.whats_this_id;
    EXPECT_EQ(services_.NotWhatsThis(control, 2), 0);
    EXPECT_EQ(OnlyMenuShown(), test.expected);
    EXPECT_EQ(tracker_.owners.at(0), owner_.Hwnd());
}

using enum Selection;
INSTANTIATE_TEST_SUITE_P(
    Kinds, MenuForControl,
    ::testing::Values(
        MenuCase{"LabelWithHelpId", L"Label", 32001, NoProperty, kWithWhatsThis},
        MenuCase{"HelpIdZero", L"Label", 0, NoProperty, kHelpOnly},
        MenuCase{"NoHelpIdProperty", L"Label", std::nullopt, NoProperty, kHelpOnly},
        MenuCase{"ListboxInCapitals", L"LISTBOX", std::nullopt, NoProperty, kListMenu},
        MenuCase{"GridWithHelpId", L"vsflexgrid", 5, NoProperty,
                 Concat(kWithWhatsThis, kProperties)},
        MenuCase{"Tree", L"SSTree", std::nullopt, NoProperty, kListMenu},
        MenuCase{"Strip", L"strip", std::nullopt, NoProperty, kListMenu},
        MenuCase{"NotQuiteAList", L"List", std::nullopt, NoProperty, kHelpOnly},
        MenuCase{"ListViewItemSelected", L"listview", std::nullopt, Selected,
                 Concat(kListMenu, {L"&Summarize Variable"})},
        MenuCase{"ListViewNothingSelected", L"ListView", std::nullopt, Nothing, kListMenu},
        MenuCase{"ListViewItemNotSelected", L"ListView", std::nullopt, NotSelected, kListMenu},
        MenuCase{"ListViewItemWithoutSelected", L"ListView", std::nullopt, ItemWithoutSelected,
                 kListMenu},
        MenuCase{"ListViewWithoutSelectedItem", L"ListView", std::nullopt, NoProperty, kListMenu},
        MenuCase{"ListboxItemSelected", L"Listbox", std::nullopt, Selected, kListMenu}),
    CaseName{});

struct ButtonCase {
    std::string name;
    std::int16_t button;
    std::int16_t not_whats_this;
    std::int16_t custom_whats_this;
    bool shown;
    friend void PrintTo(const ButtonCase& test, std::ostream* out) { *out << test.name; }
};

class ButtonMask : public HelpServicesTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ButtonMask, OpensThePopupOnlyWithTheRightButton) {
    const ButtonCase& test = GetParam();
    FakeControl control = Control(L"Label");
    EXPECT_EQ(services_.NotWhatsThis(control, test.button), test.not_whats_this);
    EXPECT_EQ(services_.CustomWhatsThis(control, test.button, Lines{L"&a"}),
              test.custom_whats_this);
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
    FakeControl list = Control(L"ListView", Selected);
    list.whats_this_id = 7;
    services_.NotWhatsThis(list, 2);
    EXPECT_EQ(services_.FormNotWhatsThis(form_, 2), 0);
    ASSERT_EQ(tracker_.shown.size(), 2u);
    EXPECT_EQ(tracker_.shown[1], kHelpOnly);
    EXPECT_EQ(services_.WhatsThisControl, nullptr);
}

// What's This and Help for a label on form_: the IDs the label and the form carry (unset: the
// property is missing), the help file set, the item picked and the WinHelp request that follows.
struct HelpCase {
    std::string name;
    std::optional<std::int32_t> whats_this_id;
    std::optional<std::int32_t> control_context_id;
    std::optional<std::int32_t> form_context_id;
    std::wstring specific_help_file;
    std::wstring pick;
    UINT command;
    ULONG_PTR data;
    std::string file;  // after the program's folder; "" for the project help file itself
    friend void PrintTo(const HelpCase& test, std::ostream* out) { *out << test.name; }
};

class HelpRequest : public HelpServicesTest, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(HelpRequest, CallsWinHelpWithCommandDataAndPath) {
    const HelpCase& test = GetParam();
    FakeControl control = Control(L"Label");
    control.whats_this_id = test.whats_this_id;
    control.help_context_id = test.control_context_id;
    form_.help_context_id = test.form_context_id;
    services_.SetSpecificHelpFile(test.specific_help_file);
    tracker_.picks.push_back(test.pick);
    services_.NotWhatsThis(control, 2);
    ASSERT_EQ(win_help_.requests.size(), 1u);
    const WinHelpRequest& request = win_help_.requests[0];
    EXPECT_EQ(request.window, owner_.Hwnd());
    EXPECT_EQ(request.command, test.command);
    EXPECT_EQ(request.data, test.data);
    const std::string folder = gui::WideToAnsi(gui::ProgramDirectory().wstring());
    EXPECT_EQ(request.help_file, test.file.empty() ? "" : folder + test.file);
}

const std::wstring kWhatsThis = L"&What's This?";
const std::wstring kHelp = L"&Help";
INSTANTIATE_TEST_SUITE_P(
    Requests, HelpRequest,
    ::testing::Values(
        HelpCase{"WhatsThisOnTheLink", 32002, {}, 0, L"", kWhatsThis, 8, 32002, "\\vemoapps.hlp"},
        HelpCase{"WhatsThisBelowTheSharedRange",
                 29999,
                 {},
                 0,
                 L"C:\\Docs\\mine.hlp",
                 kWhatsThis,
                 8,
                 29999,
                 "\\mine.hlp"},
        HelpCase{"HelpWithNoContextIdAnywhere", {}, {}, 0, L"", kHelp, 1, 3000, "\\."},
        HelpCase{"HelpFromTheFormsContextId", {}, 0, 1234, L"", kHelp, 1, 1234, "\\."},
        HelpCase{"HelpFromTheControlsContextId",
                 {},
                 31000,
                 1234,
                 L"",
                 kHelp,
                 1,
                 31000,
                 "\\vemoapps.hlp"},
        HelpCase{"HelpFileGivenWithADirectory",
                 {},
                 {},
                 12,
                 L"D:\\elsewhere\\sub\\own.hlp",
                 kHelp,
                 1,
                 12,
                 "\\own.hlp"},
        HelpCase{"HelpFileWithoutExtension", {}, {}, 0, L"OWN", kHelp, 1, 3000, "\\OWN."},
        HelpCase{"FormFailingFallsBackToContents", {}, {}, {}, L"own.hlp", kHelp, 3, 0, ""}),
    CaseName{});

TEST_F(HelpServicesTest, HelpOnTheFormUsesItsContextId) {
    form_.help_context_id = 2000;
    tracker_.picks.push_back(kHelp);
    services_.FormNotWhatsThis(form_, 2);
    ASSERT_EQ(win_help_.requests.size(), 1u);
    EXPECT_EQ(win_help_.requests[0].command, 1u);
    EXPECT_EQ(win_help_.requests[0].data, 2000u);
}

struct CustomCase {
    std::string name;
    std::wstring type_name;
    Lines mess;
    std::wstring pick;
    Lines expected_menu;  // after What's This and Help
    std::int16_t expected_choice;
    friend void PrintTo(const CustomCase& test, std::ostream* out) { *out << test.name; }
};

class CustomPopup : public HelpServicesTest, public ::testing::WithParamInterface<CustomCase> {};

TEST_P(CustomPopup, ShowsTheCallersItemsAndReturnsThePick) {
    const CustomCase& test = GetParam();
    FakeControl control = Control(test.type_name);
    control.whats_this_id = 32003;
    tracker_.picks.push_back(test.pick);
    EXPECT_EQ(services_.CustomWhatsThis(control, 2, test.mess), test.expected_choice);
    EXPECT_EQ(OnlyMenuShown(), Concat(kWithWhatsThis, test.expected_menu));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, CustomPopup,
    ::testing::Values(
        CustomCase{"NoEmptyStringAllTopLevel",
                   L"Label",
                   {L"&a1", L"&b2", L"&c3"},
                   L"&b2",
                   {L"&a1", L"&b2", L"&c3"},
                   1},
        CustomCase{"LeadingEmptyStringAllProperties",
                   L"Listbox",
                   {L"", L"&x1", L"&y2"},
                   L"P&roperties/&y2",
                   Concat(kProperties, {L"P&roperties/&x1", L"P&roperties/&y2"}),
                   101},
        CustomCase{"LaterEmptyStringsSkipped",
                   L"Listbox",
                   {L"&t", L"", L"&p", L"", L"&q"},
                   L"&t",
                   Concat(kProperties, {L"P&roperties/&p", L"P&roperties/&q", L"&t"}),
                   0},
        CustomCase{"Dismissed", L"Label", {L"&a1"}, L"", {L"&a1"}, -1},
        CustomCase{"WhatsThisChosen", L"Label", {L"&a1"}, kWhatsThis, {L"&a1"}, -1},
        CustomCase{"DashIsASeparator",
                   L"Label",
                   {L"&a1", L"-", L"&b2"},
                   L"&b2",
                   {L"&a1", L"-", L"&b2"},
                   2},
        // Without "Properties" its items are there but cannot show.
        CustomCase{
            "PropertiesItemsOfAPlainControl", L"Label", {L"&a1", L"", L"&x1"}, L"", {L"&a1"}, -1}),
    CaseName{});

TEST_F(HelpServicesTest, UserItemsAreReusedAndHiddenBetweenPopups) {
    FakeControl control = Control(L"Listbox");
    services_.CustomWhatsThis(control, 2, Lines{L"1", L"2", L"3", L"4", L"5"});
    services_.CustomWhatsThis(control, 2, Lines{L"A", L"B"});
    services_.NotWhatsThis(control, 2);
    services_.CustomWhatsThis(control, 2, Lines{L"1", L"2", L"3", L"", L"P"});
    ASSERT_EQ(tracker_.shown.size(), 4u);
    EXPECT_EQ(tracker_.shown[0], Concat(kListMenu, {L"1", L"2", L"3", L"4", L"5"}));
    EXPECT_EQ(tracker_.shown[1], Concat(kListMenu, {L"A", L"B"}));
    EXPECT_EQ(tracker_.shown[2], kListMenu);
    EXPECT_EQ(tracker_.shown[3], Concat(kListMenu, {L"P&roperties/P", L"1", L"2", L"3"}));
}

struct ColorCase {
    std::string name;
    std::wstring pick;
    bool has_property;
    std::optional<COLORREF> answer;  // unset: the dialog is cancelled
    COLORREF expected;
    std::string event;
    friend void PrintTo(const ColorCase& test, std::ostream* out) { *out << test.name; }
};

class ColorCommand : public HelpServicesTest, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(ColorCommand, WritesTheDialogsColourBackAndRaisesItsEvent) {
    const ColorCase& test = GetParam();
    FakeControl control = Control(L"ListBox");
    const bool fore = test.pick == L"P&roperties/&ForeColor";
    std::optional<COLORREF>& changed = fore ? control.fore_color : control.back_color;
    std::optional<COLORREF>& other = fore ? control.back_color : control.fore_color;
    if (test.has_property) {
        changed = RGB(1, 2, 3);
    }
    other = RGB(9, 9, 9);
    dialogs_.color_answer = test.answer;
    tracker_.picks.push_back(test.pick);
    EXPECT_EQ(services_.NotWhatsThis(control, 2), 0);

    EXPECT_EQ(events_, std::vector<std::string>{test.event});
    EXPECT_EQ(other, RGB(9, 9, 9));
    if (!test.has_property) {
        EXPECT_TRUE(dialogs_.color_openings.empty());
        return;
    }
    ASSERT_EQ(dialogs_.color_openings.size(), 1u);
    EXPECT_EQ(dialogs_.color_openings[0].Flags, static_cast<DWORD>(CC_RGBINIT));
    EXPECT_EQ(dialogs_.color_openings[0].Color, RGB(1, 2, 3));
    EXPECT_EQ(changed, test.expected);
}

const std::wstring kBackColor = L"P&roperties/&BackColor";
const std::wstring kForeColor = L"P&roperties/&ForeColor";
INSTANTIATE_TEST_SUITE_P(
    Colours, ColorCommand,
    ::testing::Values(ColorCase{"BackChosen", kBackColor, true, RGB(200, 100, 50),
                                RGB(200, 100, 50), "BackColorChanged"},
                      ColorCase{"BackCancelled", kBackColor, true, std::nullopt, RGB(1, 2, 3),
                                "BackColorChanged"},
                      ColorCase{"ForeChosen", kForeColor, true, RGB(0, 0, 255), RGB(0, 0, 255),
                                "ForeColorChanged"},
                      ColorCase{"NoForeColorProperty", kForeColor, false, RGB(0, 0, 255), 0,
                                "ForeColorChanged"}),
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
    tracker_.picks = {L"P&roperties/F&ont", kBackColor};
    EXPECT_EQ(services_.NotWhatsThis(control, 2), 0);
    EXPECT_TRUE(dialogs_.font_openings.empty());
    EXPECT_TRUE(events_.empty());
    // The services carry on.
    services_.NotWhatsThis(control, 2);
    EXPECT_EQ(events_, std::vector<std::string>{"BackColorChanged"});
}

TEST_F(HelpServicesTest, SummarizeVariableOnlyRaisesItsEvent) {
    FakeControl control = Control(L"ListView", Selected);
    tracker_.picks.push_back(L"&Summarize Variable");
    services_.NotWhatsThis(control, 2);
    EXPECT_EQ(events_, std::vector<std::string>{"SummarizeVariableClick"});
    EXPECT_TRUE(win_help_.requests.empty());
    EXPECT_TRUE(dialogs_.color_openings.empty());
}

}  // namespace
}  // namespace dsf2vemo::testing
