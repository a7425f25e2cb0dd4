// For tools/screenshot.sh only: opens the main window, reads the file named on the command line
// through the Input button (the file dialog answered with that name), prints the window's screen
// rectangle and the word "ready", and runs until the window is closed or 60 s have passed.
//   screenshot_driver.exe FILE.dsf
#include <windows.h>

#include <cstdio>
#include <string>

#include "control_ids.h"
#include "form1.h"
#include "preset_file_dialog.h"
#include "separators.h"

using namespace dsf2vemo;

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshot_driver FILE.dsf\n");
        return 2;
    }
    gui::Module1 module{GetLocaleSeparators(), {}};
    tools::PresetFileDialog dialog(argv[1]);
    gui::SystemMessageBox box;
    gui::Form1 form(module, dialog, box, gui::Form1::OnClose::EndProgram);
    form.Create();
    form.Show();
    SendMessageW(GetDlgItem(form.Hwnd(), gui::IDC_cmdInput), BM_CLICK, 0, 0);
    UpdateWindow(form.Hwnd());

    RECT rect{};
    GetWindowRect(form.Hwnd(), &rect);
    std::printf("%ld %ld %ld %ld\nready\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    std::fflush(stdout);

    SetTimer(form.Hwnd(), 1, 60000, nullptr);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == form.Hwnd()) {
            DestroyWindow(form.Hwnd());
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
