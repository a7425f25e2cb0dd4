// For tools/screenshot.sh only: opens the main window, reads the file named on the command line
// through the Input button (the file dialog answered with that name), opens the window to be
// photographed with its button, prints that window's screen rectangle and the word "ready", and
// runs until the main window is closed or 60 s have passed.
//   screenshot_driver.exe WINDOW FILE.dsf      (WINDOW: one of the names in kShots)
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "control_ids.h"
#include "form1.h"
#include "frm_about.h"
#include "help_services.h"
#include "preset_file_dialog.h"
#include "shell_execute.h"
#include "version.h"
#include "separators.h"

using namespace dsf2vemo;

namespace {

// A window to photograph: the main window's button that opens it (0 for the main window itself)
// and its window class. The button is clicked through the message queue, so a modal window runs
// its own message loop while the driver waits for it to appear.
struct Shot {
    std::wstring_view name;
    int button;
    std::wstring_view window_class;
};

constexpr Shot kShots[] = {
    {L"main", 0, L"dsf2vemo.Form1"},
    {L"help", gui::IDC_cmdHelp, L"dsf2vemo.frmHelp"},
    {L"about", gui::IDC_cmdAbout, L"dsf2vemo.frmAbout"},
};

constexpr UINT kLookEveryMs = 100;
constexpr UINT kEndAfterMs = 60000;

const Shot* shot = nullptr;

BOOL CALLBACK FindShown(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (IsWindowVisible(window) && std::wstring_view(name) == shot->window_class) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Thread timers: they run inside any message loop, a modal window's included.
void CALLBACK Look(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShown, reinterpret_cast<LPARAM>(&found));
    if (found == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    UpdateWindow(found);
    RECT rect{};
    GetWindowRect(found, &rect);
    std::printf("%ld %ld %ld %ld\nready\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    std::fflush(stdout);
}

void CALLBACK End(HWND, UINT, UINT_PTR, DWORD) {
    PostQuitMessage(0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    for (const Shot& candidate : kShots) {
        if (argc == 3 && candidate.name == argv[1]) {
            shot = &candidate;
        }
    }
    if (shot == nullptr) {
        std::fprintf(stderr, "usage: screenshot_driver main|help|about FILE.dsf\n");
        return 2;
    }
    gui::Module1 module{GetLocaleSeparators(), {}};
    tools::PresetFileDialog dialog(argv[2]);
    gui::SystemMessageBox box;
    gui::SystemShellExecutor shell;
    gui::SystemHelpSeams help_seams;
    gui::frmAbout about(shell, box, help_seams.Seams());
    about.SetVersion(L"Version " DSF2VEMO_VERSION_TEXT);
    gui::Form1 form(module, dialog, box, gui::Form1::OnClose::EndProgram);
    form.SetAboutBox(about);
    form.Create();
    form.Show();
    SendMessageW(GetDlgItem(form.Hwnd(), gui::IDC_cmdInput), BM_CLICK, 0, 0);
    UpdateWindow(form.Hwnd());
    if (shot->button != 0) {
        PostMessageW(GetDlgItem(form.Hwnd(), shot->button), BM_CLICK, 0, 0);
    }

    SetTimer(nullptr, 0, kLookEveryMs, Look);
    SetTimer(nullptr, 0, kEndAfterMs, End);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
