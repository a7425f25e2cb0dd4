#include "frm_about.h"

#include <commctrl.h>

#include "about_ids.h"
#include "about_site.h"
#include "about_text.h"
#include "dialog_font.h"
#include "dpi.h"
#include "mouse_events.h"
#include "program_icon.h"
#include "program_path.h"
#include "resource.h"
#include "twip_rect.h"
#include "window_placement.h"

namespace dsf2vemo::gui {

namespace {

constexpr wchar_t kClassName[] = L"dsf2vemo.frmAbout";
// The title the design gives; ShowAbout always replaces it before the window shows.
constexpr wchar_t kDesignCaption[] = L"Form2";
// A fixed dialog frame with a close button only.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The design, in twips.
constexpr float kClientWidth = 3744;
constexpr float kClientHeight = 1668;
constexpr layout::TwipRect kLabelBuildRect{1080, 240, 1572, 252};
constexpr layout::TwipRect kLabel1Rect{372, 480, 3012, 252};
constexpr layout::TwipRect kLabel2Rect{372, 720, 3012, 252};
constexpr layout::TwipRect kCommand1Rect{1326, 1080, 1092, 372};

constexpr COLORREF kLinkColor = RGB(0, 0, 255);
constexpr COLORREF kLinkHoverColor = RGB(255, 0, 63);

constexpr std::int32_t kInitialBuildNumber = 99;
// The title of the build-number complaint.
constexpr wchar_t kApplicationTitle[] = L"dsf2vemo";

// Windows gives an unowned window a task-bar button; an invisible owner keeps the box off the
// task bar without tying it to any window of the program.
UniqueWindow MakeStandInOwner() {
    return UniqueWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr));
}

}  // namespace

frmAbout::frmAbout(ShellExecutor& shell, MessageBoxer& message_box, HelpSeams help_seams)
    : shell_(shell), message_box_(message_box), help_services_(help_seams) {
    Form_Initialize();
}

frmAbout::~frmAbout() {
    // Closed while the whole object is still there to handle the closing.
    Unload();
}

void frmAbout::Form_Initialize() {
    version_line_ = about::kDesignVersionLine;
    build_number_ = kInitialBuildNumber;
}

void frmAbout::SetVersion(std::wstring_view text) {
    version_line_ = text;
}

void frmAbout::SetBuildNumber(std::int32_t xBuildNumber) {
    build_number_ = xBuildNumber;
    version_line_ = about::BuildText(xBuildNumber);
}

std::int32_t frmAbout::GetBuildNumber() const {
    return build_number_;
}

void frmAbout::ShowAbout(std::wstring_view xCaption, std::int16_t xYear) {
    ShowAbout(xCaption, std::to_wstring(xYear));
}

void frmAbout::ShowAbout(std::wstring_view xCaption, std::wstring_view xYear) {
    if (Hwnd() != nullptr) {
        // Already up (its own modal loop is running further down the stack).
        SetForegroundWindow(Hwnd());
        return;
    }
    try {
        version_line_ = about::VersionLineToShow(version_line_, build_number_);
        CreateTopLevel(kClassName, ProgramIcon(IDI_ABOUT), kDesignCaption, kStyle, kExStyle);
        SetWindowTextW(Hwnd(), about::AboutTitle(xCaption).c_str());
        SetWindowTextW(Label1, about::CopyrightNotice(xYear).c_str());
        SetWindowTextW(Label2, about::kWebHost);
        SetWindowTextW(labelBuild, version_line_.c_str());

        stand_in_owner_ = MakeStandInOwner();
        if (stand_in_owner_) {
            SetWindowLongPtrW(Hwnd(), GWLP_HWNDPARENT,
                              reinterpret_cast<LONG_PTR>(stand_in_owner_.Get()));
        }
        modal_.emplace(Hwnd());
        if (showing_fault_) {
            showing_fault_();
        }
        ShowWindow(Hwnd(), SW_SHOWNORMAL);
        SetFocus(Command1);
        RunModalLoop();
    } catch (...) {
        // A box left hidden with a live window would make every later showing take the
        // "already up" road above, and the other windows would stay disabled.
        Close();
        stand_in_owner_.Reset();
        throw;
    }
    modal_.reset();
    stand_in_owner_.Reset();
}

void frmAbout::Unload() {
    if (Hwnd() != nullptr) {
        Close();
    }
}

void frmAbout::RunModalLoop() {
    MSG message{};
    while (Hwnd() != nullptr) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            Close();
            if (got == 0) {
                // The program is ending: its own loop must see the request too.
                PostQuitMessage(static_cast<int>(message.wParam));
            }
            return;
        }
        if (!IsDialogMessageW(Hwnd(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void frmAbout::Close() {
    // The other windows take input again before this one goes, so that one of them is activated.
    modal_.reset();
    if (Hwnd() != nullptr) {
        DestroyWindow(Hwnd());
    }
}

LRESULT frmAbout::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            Form_Create();
            return 0;
        case WM_ACTIVATE:
            // The OK button is the only control that takes the focus.
            if (LOWORD(wparam) != WA_INACTIVE && Command1 != nullptr) {
                SetFocus(Command1);
                return 0;
            }
            return DefaultHandling(message, wparam, lparam);
        case DM_GETDEFID:
            return MAKELRESULT(IDC_Command1, DC_HASDEFID);
        case WM_COMMAND:
            Form_Command(LOWORD(wparam), HIWORD(wparam));
            return 0;
        case WM_MOUSEMOVE:
            Form_MouseMove();
            return 0;
        case WM_SETCURSOR:
            if (Form_SetCursor(reinterpret_cast<HWND>(wparam), LOWORD(lparam))) {
                return TRUE;
            }
            return DefaultHandling(message, wparam, lparam);
        case WM_CTLCOLORSTATIC:
            return Form_CtlColorStatic(reinterpret_cast<HDC>(wparam),
                                       reinterpret_cast<HWND>(lparam));
        case WM_DPICHANGED:
            Form_DpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_CLOSE:
            // The frame's close command closes the box like OK does.
            Close();
            return 0;
        case WM_DESTROY:
            // However the window went, the other windows take input again.
            modal_.reset();
            labelBuild = Label1 = Label2 = Command1 = nullptr;
            return 0;
        default:
            return DefaultHandling(message, wparam, lparam);
    }
}

void frmAbout::Form_Create() {
    dpi_ = WindowDpi(Hwnd());
    MakeFont();
    link_color_ = kLinkColor;
    // In tab order. The labels take their own mouse messages (SS_NOTIFY), as the version line
    // must: a move over it is not a move over the window.
    const DWORD label_style = SS_CENTER | SS_NOPREFIX | SS_NOTIFY;
    Label1 = CreateChild(L"STATIC", L"", label_style, IDC_Label1, font_.Get());
    Command1 =
        CreateChild(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDC_Command1, font_.Get());
    Label2 = CreateChild(L"STATIC", L"Label2", label_style, IDC_Label2, font_.Get());
    labelBuild =
        CreateChild(L"STATIC", about::kDesignVersionLine, label_style, IDC_labelBuild, font_.Get());
    // The controls with mouse events of their own.
    for (const int id : {IDC_Command1, IDC_Label1, IDC_Label2}) {
        SetWindowSubclass(GetDlgItem(Hwnd(), id), &frmAbout::ControlProc, static_cast<UINT_PTR>(id),
                          reinterpret_cast<DWORD_PTR>(this));
    }
    Form_Load();
}

void frmAbout::Form_Load() {
    CenterWindow(Hwnd(),
                 WindowSizeForClient(TwipsToPixels(kClientWidth, dpi_),
                                     TwipsToPixels(kClientHeight, dpi_), kStyle, kExStyle, dpi_));
    ApplyLayout();
    // The popup menu starts from its design, the callers' items hidden.
    help_services_.Form_Load();
}

void frmAbout::Form_MouseMove() {
    ResetLinkColor();
}

void frmAbout::Form_DpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    MakeFont();
    MoveTo(suggested);
    ApplyLayout();
}

void frmAbout::Form_Command(int control_id, int notification) {
    // IDOK and IDCANCEL come from Enter and Esc: OK is both default and cancel button.
    if ((control_id == IDC_Command1 && notification == BN_CLICKED) || control_id == IDOK ||
        control_id == IDCANCEL) {
        Command1_Click();
    }
}

LRESULT frmAbout::Form_CtlColorStatic(HDC dc, HWND label) {
    SetTextColor(dc, label == Label2 ? link_color_ : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

bool frmAbout::Form_SetCursor(HWND window, int hit_test) {
    if (window != Label2 || hit_test != HTCLIENT) {
        return false;
    }
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

LRESULT CALLBACK frmAbout::ControlProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR self) {
    try {
        return reinterpret_cast<frmAbout*>(self)->HandleControlMessage(
            control, static_cast<int>(id), message, wparam, lparam);
    } catch (...) {
        // Nothing may unwind through user32.
        OutputDebugStringW(L"dsf2vemo: a control handler of the about box failed\n");
        return 0;
    }
}

// The mouse messages of the OK button and the labels, raised as their events.
LRESULT frmAbout::HandleControlMessage(HWND control, int id, UINT message, WPARAM wparam,
                                       LPARAM lparam) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, &frmAbout::ControlProc, static_cast<UINT_PTR>(id));
        return DefSubclassProc(control, message, wparam, lparam);
    }
    const MouseEvents events = id == IDC_Command1
                                   ? ButtonMouseEvents(message)
                                   : LabelMouseEvents(control, message, wparam, lparam);
    RaiseMouseEvents(id, events);
    // A click may have closed the box: a taken message touches the control no more.
    return events.Taken ? 0 : DefSubclassProc(control, message, wparam, lparam);
}

void frmAbout::RaiseMouseEvents(int id, const MouseEvents& events) {
    struct Handlers {
        int id;
        void (frmAbout::*MouseMove)();
        void (frmAbout::*MouseUp)(std::int16_t Button);
        void (frmAbout::*Click)();
    };
    static constexpr Handlers kHandlers[] = {
        {IDC_Command1, &frmAbout::Command1_MouseMove, &frmAbout::Command1_MouseUp, nullptr},
        {IDC_Label1, &frmAbout::Label1_MouseMove, &frmAbout::Label1_MouseUp, nullptr},
        {IDC_Label2, &frmAbout::Label2_MouseMove, &frmAbout::Label2_MouseUp,
         &frmAbout::Label2_Click},
    };
    for (const Handlers& control : kHandlers) {
        if (control.id != id) {
            continue;
        }
        if (events.MouseMove) {
            (this->*control.MouseMove)();
        }
        if (events.MouseUp != 0) {
            (this->*control.MouseUp)(events.MouseUp);
        }
        if (events.Click && control.Click != nullptr) {
            (this->*control.Click)();
        }
    }
}

void frmAbout::Command1_Click() {
    Close();
}

void frmAbout::Command1_MouseMove() {
    ResetLinkColor();
}

// A right-button release opens the popup menu for the control (through NotWhatsThis).
void frmAbout::Command1_MouseUp(std::int16_t Button) {
    help_services_.NotWhatsThis(command1_properties_, Button);
}

void frmAbout::Label1_MouseMove() {
    ResetLinkColor();
}

void frmAbout::Label1_MouseUp(std::int16_t Button) {
    help_services_.NotWhatsThis(label1_properties_, Button);
}

void frmAbout::Label2_MouseMove() {
    SetLinkColor(kLinkHoverColor);
}

void frmAbout::Label2_MouseUp(std::int16_t Button) {
    last_link_button_ = Button;
    help_services_.NotWhatsThis(label2_properties_, Button);
}

// Opens the product page, for a left click only, then closes the box whether the shell managed
// or not.
void frmAbout::Label2_Click() {
    if (last_link_button_ != kLeftButton) {
        return;
    }
    shell_.Execute(Hwnd(), L"open", about::LinkAddress(), ProgramDirectory().wstring(),
                   SW_SHOWNORMAL);
    Close();
}

void frmAbout::ResetLinkColor() {
    SetLinkColor(kLinkColor);
}

void frmAbout::SetLinkColor(COLORREF color) {
    if (color == link_color_) {
        return;  // no redraw on every move
    }
    link_color_ = color;
    InvalidateRect(Label2, nullptr, TRUE);
}

bool frmAbout::BuildNumberIsOK(const std::filesystem::path& executable,
                               const std::filesystem::path& backup_directory) {
    if (!InIde(executable)) {
        return true;
    }
    // In 32 bits: the successor of 32767 must not wrap.
    const std::int32_t proposed = std::int32_t{GetMostRecentBuildNumber(backup_directory)} + 1;
    if (build_number_ >= proposed) {
        return true;
    }
    message_box_.Show(nullptr, about::BuildNumberMessage(build_number_, proposed),
                      kApplicationTitle, MB_OK);
    return false;
}

void frmAbout::MakeFont() {
    font_ = SetDialogFont({labelBuild, Label1, Label2, Command1}, dpi_);
}

void frmAbout::ApplyLayout() {
    PlaceInTwips(labelBuild, kLabelBuildRect, dpi_);
    PlaceInTwips(Label1, kLabel1Rect, dpi_);
    PlaceInTwips(Label2, kLabel2Rect, dpi_);
    PlaceInTwips(Command1, kCommand1Rect, dpi_);
}

}  // namespace dsf2vemo::gui
