#include "help_services.h"

#include <commdlg.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

#include "help_file.h"
#include "program_path.h"
#include "text_encoding.h"

namespace dsf2vemo::gui {

namespace {

// The point sizes the font dialog accepts.
constexpr float kSmallestFontSize = 1;
constexpr float kLargestFontSize = 1638;

[[noreturn]] void ThrowMissing(const char* property) {
    throw std::runtime_error(std::string("the control has no property \"") + property + "\"");
}

// The window that asks for a popup for `control`.
HWND AskingWindow(const ControlProperties& control) {
    HWND window = control.hWnd();
    if (window == nullptr && control.Parent() != nullptr) {
        window = control.Parent()->hWnd();
    }
    return window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
}

}  // namespace

HelpServices::HelpServices(HelpSeams seams) : seams_(seams) {
    Form_Load();
}

void HelpServices::Form_Load() {
    static const PropertyMenu kDesign;
    menu_ = kDesign;
    // The designed first elements of the two arrays show only when a caller fills them.
    menu_.mnuUser[0].Visible = false;
    menu_.mnuUserProperties[0].Visible = false;
}

std::int16_t HelpServices::FormNotWhatsThis(ControlProperties& form, std::int16_t Button) {
    if ((Button & kRightButton) != 0) {
        WhatsThisControl = nullptr;
        PopupForm = &form;
        PopupOwner = AskingWindow(form);
        menu_.mnuWhatsThis.Enabled = false;
        menu_.mnuHelp.Visible = true;
        menu_.mnuDummy1.Visible = false;
        menu_.mnuProperties.Visible = false;
        menu_.mnuSummarizeVariable.Visible = false;
        OpenPopup();
    }
    return 0;
}

std::int16_t HelpServices::CustomWhatsThis(ControlProperties& control, std::int16_t Button,
                                           std::span<const std::wstring> Mess) {
    if ((Button & kRightButton) == 0) {
        return -2;
    }
    // Refuse a list too long for the menu before anything is shown.
    std::size_t top_level = 0;
    std::size_t properties = 0;
    bool in_properties = false;
    for (const std::wstring& entry : Mess) {
        if (entry.empty()) {
            in_properties = true;
        } else {
            ++(in_properties ? properties : top_level);
        }
    }
    if (top_level > PropertyMenu::kMaxUserItems || properties > PropertyMenu::kMaxUserItems) {
        throw std::length_error("the popup menu cannot hold that many items");
    }

    top_level = 0;
    properties = 0;
    in_properties = false;
    for (const std::wstring& entry : Mess) {
        if (entry.empty()) {
            in_properties = true;
            continue;
        }
        std::vector<MenuItemState>& items = in_properties ? menu_.mnuUserProperties : menu_.mnuUser;
        std::size_t& n = in_properties ? properties : top_level;
        if (n == items.size()) {
            items.emplace_back();
        }
        items[n].Visible = true;
        items[n].Caption = entry;
        ++n;
    }
    PopupChoice = -1;
    NotWhatsThis(control, Button);
    for (MenuItemState& item : menu_.mnuUser) {
        item.Visible = false;
    }
    for (MenuItemState& item : menu_.mnuUserProperties) {
        item.Visible = false;
    }
    return PopupChoice;
}

std::int16_t HelpServices::NotWhatsThis(ControlProperties& control, std::int16_t Button) {
    if ((Button & kRightButton) == 0) {
        return -1;
    }
    // Each step below that finds a property missing is passed over.
    WhatsThisControl = &control;
    PopupForm = control.Parent();
    PopupOwner = AskingWindow(control);

    menu_.mnuWhatsThis.Enabled = false;
    if (const std::optional<std::int32_t> id = control.WhatsThisHelpID()) {
        menu_.mnuWhatsThis.Enabled = *id != 0;
    }
    menu_.mnuHelp.Visible = true;

    const std::wstring type_name = control.TypeName();
    const bool list_like = IsListLike(type_name);
    menu_.mnuDummy1.Visible = list_like;
    menu_.mnuProperties.Visible = list_like;
    menu_.mnuSummarizeVariable.Visible = false;
    if (list_like && SameTextNoCase(type_name, L"ListView")) {
        if (const std::optional<const ListItemProperties*> item = control.SelectedItem();
            item && *item != nullptr) {
            const std::optional<bool> selected = (*item)->Selected();
            menu_.mnuSummarizeVariable.Visible = selected.value_or(false);
        }
    }

    try {
        OpenPopup();
    } catch (const std::exception&) {
        // A menu that cannot open is passed over too.
    }
    return 0;
}

std::wstring HelpServices::HelpFileFromHelpID(std::int32_t HelpID) const {
    return HelpFileFor(HelpID, SpecificHelpFile(), ProgramDirectory().wstring());
}

void HelpServices::ShowWhatsThisHelp(std::int32_t HelpID) {
    WinHelpWithMsg(PopupOwner, HelpFileFromHelpID(HelpID), kHelpContextPopup, HelpID);
}

std::int32_t HelpServices::WinHelpWithMsg(HWND hwnd, std::wstring_view lpHelpFile, UINT wCommand,
                                          std::int32_t dwData) {
    // The data is a 32-bit value, handed on bit for bit.
    return seams_.win_help.Call(hwnd, WideToAnsi(lpHelpFile), wCommand,
                                static_cast<ULONG_PTR>(static_cast<std::uint32_t>(dwData)));
}

std::wstring HelpServices::SpecificHelpFile() const {
    return specific_help_file_.empty() ? std::wstring(kProjectHelpFile) : specific_help_file_;
}

void HelpServices::SetSpecificHelpFile(std::wstring vNewValue) {
    specific_help_file_ = std::move(vNewValue);
}

void HelpServices::OpenPopup() {
    const std::optional<MenuChoice> choice = menu_.Popup(PopupOwner, seams_.popup);
    if (choice) {
        RunCommand(*choice);
    }
}

// A command runs as its own event: a failure ends that command and nothing else.
void HelpServices::RunCommand(const MenuChoice& choice) {
    try {
        switch (choice.Command) {
            case MenuCommand::WhatsThis:
                mnuWhatsThis_Click();
                break;
            case MenuCommand::Help:
                mnuHelp_Click();
                break;
            case MenuCommand::ForeColor:
                mnuForeColor_Click();
                break;
            case MenuCommand::BackColor:
                mnuBackColor_Click();
                break;
            case MenuCommand::PopupFont:
                mnuPopupFont_Click();
                break;
            case MenuCommand::SummarizeVariable:
                mnuSummarizeVariable_Click();
                break;
            case MenuCommand::User:
                mnuUser_Click(choice.Index);
                break;
            case MenuCommand::UserProperties:
                mnuUserProperties_Click(choice.Index);
                break;
        }
    } catch (const std::exception&) {
        OutputDebugStringW(L"dsf2vemo: a popup menu command failed\n");
    }
}

void HelpServices::Raise(const std::function<void()>& event) {
    if (event) {
        event();
    }
}

void HelpServices::mnuWhatsThis_Click() {
    // Enabled only for a control with a What's This help ID.
    if (WhatsThisControl == nullptr) {
        ThrowMissing("WhatsThisHelpID");
    }
    const std::optional<std::int32_t> id = WhatsThisControl->WhatsThisHelpID();
    if (!id) {
        ThrowMissing("WhatsThisHelpID");
    }
    ShowWhatsThisHelp(*id);
}

void HelpServices::mnuHelp_Click() {
    std::int32_t id = 0;
    if (WhatsThisControl != nullptr) {
        id = WhatsThisControl->HelpContextID().value_or(0);
    }
    try {
        if (id == 0) {
            id = kDefaultContextID;
            if (PopupForm != nullptr) {
                const std::optional<std::int32_t> form_id = PopupForm->HelpContextID();
                if (!form_id) {
                    ThrowMissing("HelpContextID");
                }
                if (*form_id != 0) {
                    id = *form_id;
                }
            }
        }
        WinHelpWithMsg(PopupOwner, HelpFileFromHelpID(id), kHelpContext, id);
    } catch (const std::exception&) {
        // The contents of the program's own help file instead.
        WinHelpWithMsg(PopupOwner, kProjectHelpFile, kHelpContents, 0);
    }
}

void HelpServices::ChangeColor(const char* property, ColorGetter get, ColorSetter set,
                               const std::function<void()>& changed) {
    try {
        comdlg.Flags = CC_RGBINIT;
        if (WhatsThisControl == nullptr) {
            ThrowMissing(property);
        }
        const std::optional<COLORREF> color = (WhatsThisControl->*get)();
        if (!color) {
            ThrowMissing(property);
        }
        comdlg.Color = *color;
        seams_.dialogs.ShowColor(PopupOwner, comdlg);
        // A cancelled dialog hands the old colour back.
        (WhatsThisControl->*set)(comdlg.Color);
    } catch (const std::exception&) {
        // The event is raised all the same.
    }
    Raise(changed);
}

void HelpServices::mnuForeColor_Click() {
    ChangeColor("ForeColor", &ControlProperties::ForeColor, &ControlProperties::SetForeColor,
                Events.ForeColorChanged);
}

void HelpServices::mnuBackColor_Click() {
    ChangeColor("BackColor", &ControlProperties::BackColor, &ControlProperties::SetBackColor,
                Events.BackColorChanged);
}

void HelpServices::mnuPopupFont_Click() {
    comdlg.Flags = CF_SCREENFONTS;
    if (WhatsThisControl == nullptr) {
        ThrowMissing("Font");
    }
    const std::optional<FontAttributes> font = WhatsThisControl->Font();
    if (!font) {
        ThrowMissing("Font");
    }
    // What the font dialog takes; anything else (NaN and infinities included) would reach the
    // dialog's integer sizes as an undefined conversion.
    if (!(font->Size >= kSmallestFontSize && font->Size <= kLargestFontSize)) {
        throw std::invalid_argument("the font size " + std::to_string(font->Size) +
                                    " is not one the font dialog takes (1 to 1638 points)");
    }
    comdlg.FontName = font->Name;
    comdlg.FontBold = font->Bold;
    comdlg.FontItalic = font->Italic;
    comdlg.FontSize = font->Size;
    seams_.dialogs.ShowFont(PopupOwner, comdlg);
    if (!WhatsThisControl->SetFont(
            {comdlg.FontName, comdlg.FontBold, comdlg.FontItalic, comdlg.FontSize})) {
        ThrowMissing("Font");
    }
    Raise(Events.FontChanged);
}

void HelpServices::mnuSummarizeVariable_Click() {
    Raise(Events.SummarizeVariableClick);
}

void HelpServices::mnuUser_Click(int Index) {
    PopupChoice = static_cast<std::int16_t>(Index);
}

void HelpServices::mnuUserProperties_Click(int Index) {
    PopupChoice = static_cast<std::int16_t>(Index + 100);
}

}  // namespace dsf2vemo::gui
