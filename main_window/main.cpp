#include <windows.h>

#include "command_line.h"
#include "file_dialog.h"
#include "form1.h"
#include "frm_about.h"
#include "help_services.h"
#include "message_box.h"
#include "module1.h"
#include "separators.h"
#include "shell_execute.h"
#include "version.h"

namespace dsf2vemo::gui {
namespace {

// Start-up: the about box's version text, the locale's separators once for the whole run, then
// the main window, modeless, which reads at once a file named on the command line. The program
// ends when the main window is closed.
int Main() {
    SystemShellExecutor shell;
    SystemMessageBox message_box;
    // WinHelp, the colour and font dialogs and the popup menu for real.
    SystemHelpSeams help_seams;
    frmAbout about(shell, message_box, help_seams.Seams());
    about.SetVersion(L"Version " DSF2VEMO_VERSION_TEXT);
    Module1 module{GetLocaleSeparators(), {}};
    OpenFileDialog file_dialog;
    Form1 form(module, file_dialog, message_box, Form1::OnClose::EndProgram);
    form.SetAboutBox(about);
    form.Create();
    form.Show();
    form.OpenFiles(CommandLineFiles(GetCommandLineW()));

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab and the buttons' access keys.
        if (form.Hwnd() == nullptr || !IsDialogMessageW(form.Hwnd(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace
}  // namespace dsf2vemo::gui

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return dsf2vemo::gui::Main();
    } catch (const std::exception& error) {
        MessageBoxA(nullptr, error.what(), "dsf2vemo", MB_OK | MB_ICONERROR);
        return 1;
    }
}
