// The main window's roads to and from files: Input, a drop or the command line read a data system
// file; Output chooses the file to write and Convert writes it.
#include <windows.h>

#include <commdlg.h>

#include <exception>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "busy_scope.h"
#include "conversion_error.h"
#include "diagnosis.h"
#include "dsf_reader.h"
#include "error_description.h"
#include "form1.h"
#include "output_format.h"
#include "output_path.h"
#include "results_pane.h"
#include "wait_cursor.h"
#include "write_output.h"

namespace dsf2vemo::gui {

namespace {

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

}  // namespace

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

    std::optional<WaitCursor> waiting(std::in_place);
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
        waiting.reset();
        ShowErrorMessage(kReadFailed + WindowText(LabelInput) + L".", description);
        return;
    }
    try {
        ShowEchoAndWarnings({});
    } catch (...) {
        // The data stay read and convertible whether the pane shows them or not.
    }
}

// The last echo with the Warnings block of its findings and `more` after them. The block is made
// anew each time, so that converting again doesn't repeat a warning, and handed over after the
// echo without a copy of it.
void Form1::ShowEchoAndWarnings(std::span<const std::string> more) {
    TextPane warnings(module_.separators.decimal);
    AppendWarnings(warnings, findings_, more);
    ShowEcho(*echo_, warnings.Text());
}

// The echo and `after` it, or a note of their size where the pane can't take them; an echo too
// large to keep is noted by its own size.
void Form1::ShowEcho(const TextPane& echo, std::string_view after) {
    if (!echo.KeptAll()) {
        RichTextBox1->ShowText(EchoTooLargeNote(echo.EchoSize()), 0);
        return;
    }
    const std::size_t size = echo.Text().size() + after.size();
    if (size <= pane_capacity_) {
        try {
            const std::string_view pieces[] = {echo.Text(), after};
            RichTextBox1->ShowText(pieces, echo.SelStart());
            return;
        } catch (...) {
            // Too large for the control or for the memory left: the note instead.
        }
    }
    RichTextBox1->ShowText(EchoTooLargeNote(size), 0);
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
        if (OutputThatIsInput(std::filesystem::path(WindowText(LabelInput)), output_path, format)) {
            throw ConversionError(ErrorKind::Refused, std::string(kWritingDestroysInput));
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

}  // namespace dsf2vemo::gui
