// Times the main window reading a synthetic data system file: Input clicked (the file dialog
// answered at once) until the pane is shown, then the closing of the window.
//   gui_bench.exe P [P...]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <string>

#include "control_ids.h"
#include "dsf_builder.h"
#include "dsf_reader.h"
#include "form1.h"
#include "preset_file_dialog.h"
#include "temp_dir.h"

namespace {

using namespace dsf2vemo;

class SilentBox final : public gui::MessageBoxer {
  public:
    int Show(HWND, const std::wstring& text, const std::wstring&, UINT) override {
        std::fwprintf(stderr, L"error box: %ls\n", text.c_str());
        return IDOK;
    }
};

void PumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Measure(int p, const testing::TempDir& temp) {
    const std::filesystem::path input = temp.Path() / ("p" + std::to_string(p) + ".dsf");
    testing::WriteFileBytes(input, testing::BuildDsf(testing::SyntheticMomentData(p), "BENCH"));
    TextPane echo;
    ReadDsf(input, echo);

    gui::Module1 module{Separators{",", "."}, {}};
    tools::PresetFileDialog dialog(input.wstring());
    SilentBox box;
    gui::Form1 form(module, dialog, box);
    form.Create();
    form.Show();
    PumpMessages();

    const auto start = std::chrono::steady_clock::now();
    SendMessageW(GetDlgItem(form.Hwnd(), gui::IDC_cmdInput), BM_CLICK, 0, 0);
    UpdateWindow(form.Hwnd());
    PumpMessages();
    const double shown = Seconds(start);

    const HWND pane = GetDlgItem(form.Hwnd(), gui::IDC_RichTextBox1);
    const int chars = GetWindowTextLengthW(pane);
    const auto close_start = std::chrono::steady_clock::now();
    SendMessageW(form.Hwnd(), WM_CLOSE, 0, 0);
    PumpMessages();
    const double closed = Seconds(close_start);
    std::printf("%6d %12zu %12d %10.3f %10.3f %6s\n", p, echo.Text().size(), chars, shown, closed,
                module.moment_data ? "yes" : "NO");
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    dsf2vemo::testing::TempDir temp;
    std::printf("%6s %12s %12s %10s %10s %6s\n", "p", "echo_bytes", "pane_chars", "shown_s",
                "close_s", "read");
    for (int i = 1; i < argc; ++i) {
        Measure(static_cast<int>(std::wcstol(argv[i], nullptr, 10)), temp);
    }
    return 0;
}
