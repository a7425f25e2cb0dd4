// Times the main window reading a data system file, split into the program's share and the rich
// edit control's: Input clicked (the file dialog answered at once) until the text is handed to
// the pane's control, the control taking it, and what follows until the pane is shown; then the
// closing of the window. Beside it, what formatting the echo's numbers alone costs.
//   gui_bench.exe [--garbage] [--program-only] [--repeat N] P [P...]
// --garbage reads files of random bytes (most values then have a hundred or more digits);
// --program-only swallows the text before the control sees it, so that a hand-over too large
// for the control under Wine can still be timed; --repeat reads each file N times.
// Times in seconds: by the clock (_s) and as CPU time of the window's thread (_cpu).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "control_ids.h"
#include "dsf_builder.h"
#include "dsf_reader.h"
#include "form1.h"
#include "garbage_dsf.h"
#include "number_format.h"
#include "pane_hand_over.h"
#include "preset_file_dialog.h"
#include "temp_dir.h"

namespace {

using namespace dsf2vemo;
using tools::PaneHandOverWatch;
using Clock = PaneHandOverWatch::Clock;

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

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

struct Sample {
    std::size_t handed_chars = 0;
    std::size_t pane_chars = 0;
    double program = 0;
    double program_cpu = 0;
    double control = -1;  // none when swallowed
    double control_cpu = -1;
    double after = 0;
    double closing = 0;
    bool read = false;
};

Sample ReadInWindow(const std::filesystem::path& input, PaneHandOverWatch& watch, bool swallow) {
    gui::Module1 module{Separators{",", "."}, {}};
    tools::PresetFileDialog dialog(input.wstring());
    SilentBox box;
    gui::Form1 form(module, dialog, box);
    form.Create();
    form.Show();
    PumpMessages();

    watch.Clear();
    const double cpu_start = PaneHandOverWatch::ThreadCpuSeconds();
    const Clock::time_point start = Clock::now();
    SendMessageW(GetDlgItem(form.Hwnd(), gui::IDC_cmdInput), BM_CLICK, 0, 0);
    UpdateWindow(form.Hwnd());
    PumpMessages();
    const Clock::time_point shown = Clock::now();

    Sample sample;
    if (!watch.HandOvers().empty()) {
        const PaneHandOverWatch::HandOver& hand_over = watch.HandOvers().front();
        sample.handed_chars = hand_over.characters;
        sample.program = Seconds(start, hand_over.handed);
        sample.program_cpu = hand_over.cpu_handed - cpu_start;
        if (!swallow) {
            sample.control = Seconds(hand_over.handed, hand_over.taken);
            sample.control_cpu = hand_over.cpu_taken - hand_over.cpu_handed;
        }
        sample.after = Seconds(hand_over.taken, shown);
    } else {
        sample.program = Seconds(start, shown);
        sample.program_cpu = PaneHandOverWatch::ThreadCpuSeconds() - cpu_start;
    }
    sample.pane_chars = static_cast<std::size_t>(
        GetWindowTextLengthW(GetDlgItem(form.Hwnd(), gui::IDC_RichTextBox1)));
    sample.read = module.moment_data.has_value();
    const Clock::time_point close_start = Clock::now();
    SendMessageW(form.Hwnd(), WM_CLOSE, 0, 0);
    PumpMessages();
    sample.closing = Seconds(close_start, Clock::now());
    return sample;
}

// CPU time of formatting every value of the echo, nothing else, as the pane's numbers are
// formatted.
double FormattingCpu(const MomentData& data) {
    std::string out;
    const double start = PaneHandOverWatch::ThreadCpuSeconds();
    for (const std::vector<double>* values : {&data.Covariances, &data.Means}) {
        for (const double x : *values) {
            out.clear();
            AppendThreeDecimals(out, x, ".");
        }
    }
    return PaneHandOverWatch::ThreadCpuSeconds() - start;
}

std::string Column(double seconds) {
    if (seconds < 0) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

void Measure(int p, bool garbage, bool swallow, int repeat, PaneHandOverWatch& watch,
             const testing::TempDir& temp) {
    const std::filesystem::path input =
        temp.Path() / ((garbage ? "garbage" : "p") + std::to_string(p) + ".dsf");
    testing::WriteFileBytes(input,
                            garbage ? testing::GarbageDsf(p)
                                    : testing::BuildDsf(testing::SyntheticMomentData(p), "BENCH"));
    TextPane echo;
    const MomentData data = ReadDsf(input, echo);
    const double formatting = FormattingCpu(data);

    std::vector<double> programs;
    for (int i = 0; i < repeat; ++i) {
        const Sample s = ReadInWindow(input, watch, swallow);
        programs.push_back(s.program_cpu);
        std::printf("%5d %7s %10zu %10zu %10zu %9s %9s %9s %9s %7s %7s %8s %4s\n", p,
                    garbage ? "garbage" : "moments", echo.Text().size(), s.handed_chars,
                    s.pane_chars, Column(s.program).c_str(), Column(s.program_cpu).c_str(),
                    Column(s.control).c_str(), Column(s.control_cpu).c_str(),
                    Column(s.after).c_str(), Column(s.closing).c_str(), Column(formatting).c_str(),
                    s.read ? "yes" : "NO");
        std::fflush(stdout);
    }
    if (repeat > 1) {
        std::sort(programs.begin(), programs.end());
        std::printf("# p = %d, program_cpu over %d reads: min %.3f, median %.3f, max %.3f\n", p,
                    repeat, programs.front(), programs[programs.size() / 2], programs.back());
        std::fflush(stdout);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool garbage = false;
    bool swallow = false;
    int repeat = 1;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view arg = argv[i];
        if (arg == L"--garbage") {
            garbage = true;
        } else if (arg == L"--program-only") {
            swallow = true;
        } else if (arg == L"--repeat" && i + 1 < argc) {
            repeat = std::max(1, static_cast<int>(std::wcstol(argv[++i], nullptr, 10)));
        } else {
            sizes.push_back(static_cast<int>(std::wcstol(argv[i], nullptr, 10)));
        }
    }
    PaneHandOverWatch watch({.swallow = swallow});
    if (!watch.Hooked()) {
        std::fprintf(stderr, "gui_bench: the window hook could not be set\n");
        return 1;
    }
    dsf2vemo::testing::TempDir temp;
    std::printf("%5s %7s %10s %10s %10s %9s %9s %9s %9s %7s %7s %8s %4s\n", "p", "file",
                "echo_bytes", "handed", "pane_chars", "program_s", "prog_cpu", "control_s",
                "ctrl_cpu", "after_s", "close_s", "fmt_cpu", "read");
    for (const int p : sizes) {
        Measure(p, garbage, swallow, repeat, watch, temp);
    }
    return 0;
}
