#include "form1.h"

#include <commdlg.h>

#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "busy_scope.h"
#include "control_ids.h"
#include "conversion_error.h"
#include "diagnosis.h"
#include "dialog_font.h"
#include "dpi.h"
#include "dropped_files.h"
#include "dsf_reader.h"
#include "error_description.h"
#include "frm_about.h"
#include "output_format.h"
#include "output_path.h"
#include "program_icon.h"
#include "results_pane.h"
#include "window_placement.h"

namespace dsf2vemo::gui {

namespace {

constexpr wchar_t kClassName[] = L"dsf2vemo.Form1";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// Files dropped anywhere on the window, the results pane included, come here.
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES;

constexpr wchar_t kHelpFailed[] = L"An error occurred while trying to show the help window.";
constexpr wchar_t kAboutFailed[] = L"An error occurred while trying to show the about box.";

}  // namespace

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

Form1::Form1(Module1& module, FileDialog& file_dialog, MessageBoxer& message_box, OnClose on_close)
    : module_(module), file_dialog_(file_dialog), message_box_(message_box), on_close_(on_close) {}

Form1::~Form1() {
    // The pane before its parent.
    RichTextBox1.reset();
}

void Form1::Create() {
    CreateTopLevel(kClassName, ProgramIcon(), kCaption, kStyle, kExStyle);
}

void Form1::Show(int show_command) {
    ShowWindow(Hwnd(), show_command);
    UpdateWindow(Hwnd());
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            Form_Create();
            return 0;
        case WM_SIZE:
            // Minimised, the inner area is 0 by 0: nothing to lay out, and the controls keep
            // their places for the restore.
            if (wparam != SIZE_MINIMIZED) {
                Form_Resize();
            }
            return 0;
        case WM_DPICHANGED:
            Form_DpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_COMMAND:
            Form_Command(LOWORD(wparam), HIWORD(wparam));
            return 0;
        case WM_CLOSE:
            Form_QueryUnload();
            return DefaultHandling(message, wparam, lparam);
        case WM_DROPFILES:
            Form_DropFiles(reinterpret_cast<HDROP>(wparam));
            return 0;
        case WM_DESTROY:
            Form_Destroy();
            return 0;
        default:
            return DefaultHandling(message, wparam, lparam);
    }
}

void Form1::Form_Create() {
    dpi_ = WindowDpi(Hwnd());
    MakeFont();
    // Created in tab order.
    cmdInput =
        CreateChild(L"BUTTON", L"&Input", BS_PUSHBUTTON | WS_TABSTOP, IDC_cmdInput, font_.Get());
    cmdOutput =
        CreateChild(L"BUTTON", L"&Output", BS_PUSHBUTTON | WS_TABSTOP, IDC_cmdOutput, font_.Get());
    cmdConvert = CreateChild(L"BUTTON", L"&Convert", BS_PUSHBUTTON | WS_TABSTOP, IDC_cmdConvert,
                             font_.Get());
    cmdHelp =
        CreateChild(L"BUTTON", L"&Help", BS_PUSHBUTTON | WS_TABSTOP, IDC_cmdHelp, font_.Get());
    cmdAbout =
        CreateChild(L"BUTTON", L"&About", BS_PUSHBUTTON | WS_TABSTOP, IDC_cmdAbout, font_.Get());
    // Paths can hold '&': no access-key prefixes in the labels.
    const DWORD label_style = SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS | SS_CENTERIMAGE;
    LabelInput = CreateChild(L"STATIC", L"", label_style, IDC_LabelInput, font_.Get());
    LabelOutput = CreateChild(L"STATIC", L"", label_style, IDC_LabelOutput, font_.Get());
    RichTextBox1.emplace(Hwnd(), IDC_RichTextBox1, LabelOutput);
    Form_Load();
}

void Form1::Form_Load() {
    layout::Form_Load(layout_);
    CenterOnScreen();
    ApplyLayout();
    EnableDisable();
}

void Form1::Form_Resize() {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    layout::Form_Resize(layout_, PixelsToTwips(client.right, dpi_),
                        PixelsToTwips(client.bottom, dpi_));
    ApplyLayout();
}

// The main window never refuses to close; the about box goes with it.
void Form1::Form_QueryUnload() {
    if (about_ != nullptr) {
        about_->Unload();
    }
}

void Form1::Form_Destroy() {
    RichTextBox1.reset();
    if (on_close_ == OnClose::EndProgram) {
        PostQuitMessage(0);
    }
}

void Form1::Form_DpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    MakeFont();
    MoveTo(suggested);
    // The size may not have changed, and the pixel positions depend on the DPI as well.
    Form_Resize();
}

void Form1::Form_Command(int control_id, int notification) {
    if (notification != BN_CLICKED) {
        return;
    }
    const BusyScope busy(busy_);
    switch (control_id) {
        case IDC_cmdInput:
            cmdInput_Click();
            break;
        case IDC_cmdOutput:
            cmdOutput_Click();
            break;
        case IDC_cmdConvert:
            cmdConvert_Click();
            break;
        case IDC_cmdHelp:
            cmdHelp_Click();
            break;
        case IDC_cmdAbout:
            cmdAbout_Click();
            break;
        default:
            break;
    }
}

void Form1::Form_DropFiles(HDROP drop) {
    const DroppedFiles files(drop);
    if (busy_) {
        // A dialog or box of this window is open, or a read is running: the drop is refused.
        MessageBeep(MB_ICONWARNING);
        return;
    }
    OpenFiles(files.Paths());
}

void Form1::cmdHelp_Click() {
    try {
        // One help window: while it is open, a click only brings it forward.
        if (!help_window_ || help_window_->Hwnd() == nullptr) {
            help_window_.emplace();
            help_window_->Create(Hwnd());
        }
        help_window_->Show();
    } catch (...) {
        help_window_.reset();
        ShowErrorMessage(kHelpFailed, ErrorDescription(std::current_exception()));
    }
}

void Form1::cmdAbout_Click() {
    if (about_ == nullptr) {
        return;
    }
    try {
        about_->ShowAbout(WindowText(Hwnd()), std::int16_t{2000});
    } catch (...) {
        // The box has taken down what it made, so the next click starts afresh.
        ShowErrorMessage(kAboutFailed, ErrorDescription(std::current_exception()));
    }
}

void Form1::EnableDisable() {
    const bool enabled = GetWindowTextLengthW(LabelInput) > 0 &&
                         GetWindowTextLengthW(LabelOutput) > 0 && module_.moment_data.has_value();
    EnableWindow(cmdConvert, enabled);
}

void Form1::ShowErrorMessage(const std::wstring& message, const std::wstring& description) {
    message_box_.Show(Hwnd(), message + L"\r\n\r\n(" + description + L")", L"Error",
                      MB_OK | MB_ICONINFORMATION);
}

void Form1::MakeFont() {
    font_ = SetDialogFont(
        {cmdInput, cmdOutput, cmdConvert, cmdHelp, cmdAbout, LabelInput, LabelOutput}, dpi_);
}

void Form1::ApplyLayout() {
    PlaceInTwips(cmdInput, layout_.cmdInput, dpi_);
    PlaceInTwips(cmdOutput, layout_.cmdOutput, dpi_);
    PlaceInTwips(cmdConvert, layout_.cmdConvert, dpi_);
    PlaceInTwips(cmdHelp, layout_.cmdHelp, dpi_);
    PlaceInTwips(cmdAbout, layout_.cmdAbout, dpi_);
    PlaceInTwips(LabelInput, layout_.LabelInput, dpi_);
    PlaceInTwips(LabelOutput, layout_.LabelOutput, dpi_);
    RichTextBox1->Move(ToPixels(layout_.RichTextBox1, dpi_));
}

void Form1::CenterOnScreen() {
    const SIZE size = WindowSizeForClient(TwipsToPixels(layout::kDesignClientWidth, dpi_),
                                          TwipsToPixels(layout::kDesignClientHeight, dpi_), kStyle,
                                          kExStyle, dpi_);
    CenterWindow(Hwnd(), size);
}

}  // namespace dsf2vemo::gui
