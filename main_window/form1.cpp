#include "form1.h"

#include <commdlg.h>

#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

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
constexpr wchar_t kCaption[] = L"Convert from Prelis to Vemo";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// Files dropped anywhere on the window, the results pane included, come here.
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES;

constexpr wchar_t kInputFilter[] = L"Prelis Data System Files (*.dsf)|*.dsf";
// In the order of OutputFormat: the type picked is the format written.
constexpr wchar_t kOutputFilter[] =
    L"Vemo text files (*.txt)|*.txt|JSON moments (*.json)|*.json|"
    L"Mplus summary data (*.inp)|*.inp";
// File must exist, path must exist, no read-only check box: 0x1804.
constexpr DWORD kInputFlags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
// Path must exist, no read-only check box: 0x804.
constexpr DWORD kOutputFlags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;

constexpr wchar_t kReadFailed[] = L"An error occurred while trying to read the Prelis file,\r\n";
constexpr wchar_t kOutputNameFailed[] =
    L"An error occurred while trying to obtain the name of the Vemo-compatible file.";
constexpr wchar_t kWriteFailed[] =
    L"An error occurred while trying to write the Vemo-compatible file,\r\n";
constexpr wchar_t kOneFileAtATime[] =
    L"Only one file is read at a time. Reading the first one,\r\n";
constexpr wchar_t kFolderRefused[] = L"it is a folder, not a file";
constexpr wchar_t kHelpFailed[] = L"An error occurred while trying to show the help window.";
constexpr wchar_t kAboutFailed[] = L"An error occurred while trying to show the about box.";

// Shown instead of an echo the pane can't take; whether the data were read doesn't depend on it.
std::string EchoTooLargeNote(std::size_t characters) {
    return "The echo of this file, " + std::to_string(characters) +
           " characters, is too large to show here.";
}

// The Output dialog's type for a format, from 1, in the order of kOutputFilter.
DWORD OutputType(OutputFormat format) {
    switch (format) {
        case OutputFormat::Json:
            return 2;
        case OutputFormat::Mplus:
            return 3;
        case OutputFormat::Vemo:
            break;
    }
    return 1;
}

// Marks the window busy for its lifetime; nests.
class BusyScope {
  public:
    explicit BusyScope(bool& busy) : busy_(busy), was_busy_(std::exchange(busy, true)) {}
    ~BusyScope() { busy_ = was_busy_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    bool& busy_;
    bool was_busy_;
};

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

void Form1::OpenFiles(const std::vector<std::filesystem::path>& paths) {
    if (paths.empty()) {
        return;
    }
    const BusyScope busy(busy_);
    const std::wstring first = paths.front().wstring();
    std::error_code error;
    if (std::filesystem::is_directory(paths.front(), error)) {
        ShowErrorMessage(kReadFailed + first + L".", kFolderRefused);
        return;
    }
    if (paths.size() > 1) {
        message_box_.Show(Hwnd(),
                          kOneFileAtATime + first + L".\r\n\r\n(" + std::to_wstring(paths.size()) +
                              L" files were dropped)",
                          kCaption, MB_OK | MB_ICONINFORMATION);
    }
    ReadInput(first);
}

void Form1::cmdInput_Click() {
    cmdlg1.Filter = kInputFilter;
    cmdlg1.FilterIndex = 1;
    cmdlg1.Flags = kInputFlags;
    // No file name preset: the dialog shows whatever it last held.
    if (!file_dialog_.ShowOpen(Hwnd(), cmdlg1)) {
        return;
    }
    ReadInput(cmdlg1.FileName);
}

// What Input does with the chosen file, also for a file that came by another road.
void Form1::ReadInput(const std::wstring& path) {
    // The dialog opens on this file next time, as if it had been chosen there.
    cmdlg1.FileName = path;
    SetWindowTextW(LabelInput, path.c_str());

    echo_ = std::make_unique<TextPane>(module_.separators.decimal, pane_capacity_);
    findings_.clear();
    TextPane& pane = *echo_;
    try {
        const std::filesystem::path input(WindowText(LabelInput));
        SetWindowTextW(LabelOutput, DefaultOutputPath(input).wstring().c_str());
        DsfFile file = ReadDsfFile(input, pane);
        try {
            findings_ = Diagnose(file, {module_.separators.decimal});
        } catch (...) {
            // The warnings are advice: a file read successfully stays convertible without them.
        }
        module_.moment_data = std::move(file);
        EnableDisable();
    } catch (...) {
        const std::wstring description = ErrorDescription(std::current_exception());
        // Nothing of this file can be converted, and the previous file's data must not be
        // written under this file's name.
        module_.moment_data.reset();
        EnableDisable();
        try {
            // The pane shows what was read up to the failure.
            ShowEcho(pane);
        } catch (...) {
            // The error box below still reports the read failure.
        }
        ShowErrorMessage(kReadFailed + WindowText(LabelInput) + L".", description);
        return;
    }
    try {
        ShowEchoAndWarnings({});
    } catch (...) {
        // The data stay read and convertible whether the pane shows them or not.
    }
}

// The last echo with the Warnings block of its findings and `more` after them. Built anew each
// time, so that converting again doesn't repeat a warning.
void Form1::ShowEchoAndWarnings(std::span<const std::string> more) {
    if (!echo_->KeptAll()) {
        ShowEcho(*echo_);
        return;
    }
    TextPane pane(module_.separators.decimal, pane_capacity_);
    pane.SetResultsText(echo_->Text());
    pane.SetSelStart(echo_->SelStart());
    std::vector<Finding> warnings = findings_;
    for (const std::string& sentence : more) {
        warnings.push_back({"written", sentence});
    }
    AppendWarnings(pane, warnings);
    ShowEcho(pane);
}

// The echo, or a note of its size where the pane can't take it.
void Form1::ShowEcho(const TextPane& pane) {
    if (pane.KeptAll()) {
        try {
            RichTextBox1->ShowText(pane.Text(), pane.SelStart());
            return;
        } catch (...) {
            // Too large for the control or for the memory left: the note instead.
        }
    }
    RichTextBox1->ShowText(EchoTooLargeNote(pane.EchoSize()), 0);
}

void Form1::cmdOutput_Click() {
    try {
        cmdlg1.FileName = WindowText(LabelOutput);
        cmdlg1.Filter = kOutputFilter;
        cmdlg1.FilterIndex = OutputType(FormatOfPath(cmdlg1.FileName));
        cmdlg1.Flags = kOutputFlags;
    } catch (...) {
        ShowErrorMessage(kOutputNameFailed, ErrorDescription(std::current_exception()));
        return;
    }
    // An open dialog, as for the input: the name need not exist yet and nobody is asked about
    // overwriting. Cancelling changes nothing.
    if (!file_dialog_.ShowOpen(Hwnd(), cmdlg1)) {
        return;
    }
    // A name typed without an extension takes the picked type's, and the extension decides the
    // format.
    cmdlg1.FileName = WithTypeExtension(cmdlg1.FileName, cmdlg1.Filter, cmdlg1.FilterIndex);
    SetWindowTextW(LabelOutput, cmdlg1.FileName.c_str());
    EnableDisable();
}

void Form1::cmdConvert_Click() {
    const std::wstring output = WindowText(LabelOutput);
    try {
        if (!module_.moment_data) {
            throw ConversionError(ErrorKind::Refused,
                                  "no data system file has been read successfully");
        }
        const std::filesystem::path output_path(output);
        const OutputFormat format = FormatOfPath(output_path);
        for (const std::filesystem::path& written : OutputFiles(output_path, format)) {
            if (IsSameFile(std::filesystem::path(WindowText(LabelInput)), written)) {
                throw ConversionError(ErrorKind::Refused,
                                      "it is the input file itself, and writing it would destroy "
                                      "the input");
            }
        }
        const WriteNotes notes =
            WriteOutput(output_path, *module_.moment_data, module_.separators, format);
        if (!notes.warnings.empty()) {
            try {
                ShowEchoAndWarnings(notes.warnings);
            } catch (...) {
                // The file is written; the pane only tells about it.
            }
        }
    } catch (...) {
        ShowErrorMessage(kWriteFailed + output + L".", ErrorDescription(std::current_exception()));
    }
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
