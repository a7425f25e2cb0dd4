#pragma once

#include <windows.h>

#include <richedit.h>

#include <chrono>
#include <cstddef>
#include <cwchar>
#include <string>
#include <vector>

#include "control_ids.h"
#include "unique_handles.h"

namespace dsf2vemo::tools {

// Watches the texts the main window hands to its results pane, on this thread. The window makes a
// fresh rich edit control for each text; a CBT hook subclasses each one as it is made. For each
// text handed over: when, when the control had taken it, its length, the cursor shown meanwhile
// and, when asked for, the text. Swallowing keeps the texts from the control: for timing the
// program's share alone, and for texts the control would take minutes over under Wine.
class PaneHandOverWatch {
  public:
    using Clock = std::chrono::steady_clock;

    struct HandOver {
        Clock::time_point handed;
        Clock::time_point taken;
        // CPU time of this thread then, in seconds: unlike the clock, it holds up on a busy
        // machine.
        double cpu_handed = 0;
        double cpu_taken = 0;
        std::size_t characters = 0;
        HCURSOR cursor = nullptr;
        std::wstring text;  // when kept
    };

    struct Options {
        bool swallow = false;
        bool keep_text = false;
    };

    // One watch at a time.
    explicit PaneHandOverWatch(Options options)
        : options_(options),
          hook_(SetWindowsHookExW(WH_CBT, &WatchCreation, nullptr, GetCurrentThreadId())) {
        active_ = this;
    }
    ~PaneHandOverWatch() { active_ = nullptr; }
    PaneHandOverWatch(const PaneHandOverWatch&) = delete;
    PaneHandOverWatch& operator=(const PaneHandOverWatch&) = delete;

    static double ThreadCpuSeconds() {
        FILETIME created{};
        FILETIME exited{};
        FILETIME kernel{};
        FILETIME user{};
        GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
        const auto ticks = [](const FILETIME& time) {
            return static_cast<double>(
                (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
        };
        return (ticks(kernel) + ticks(user)) / 1e7;  // 100 ns ticks
    }

    bool Hooked() const { return static_cast<bool>(hook_); }
    const std::vector<HandOver>& HandOvers() const { return hand_overs_; }
    void Clear() { hand_overs_.clear(); }

  private:
    static void Unhook(HHOOK hook) { UnhookWindowsHookEx(hook); }

    static LRESULT CALLBACK WatchCreation(int code, WPARAM wparam, LPARAM lparam) {
        if (code == HCBT_CREATEWND && active_ != nullptr) {
            const auto window = reinterpret_cast<HWND>(wparam);
            const CREATESTRUCTW* create = reinterpret_cast<const CBT_CREATEWNDW*>(lparam)->lpcs;
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (create->hMenu == reinterpret_cast<HMENU>(INT_PTR{gui::IDC_RichTextBox1}) &&
                _wcsicmp(name, MSFTEDIT_CLASS) == 0) {
                // Every rich edit control has the procedure of its class.
                control_procedure_ = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Pane)));
            }
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    static LRESULT CALLBACK Pane(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        // A control made while watching may outlive the watch.
        if (message != WM_SETTEXT || active_ == nullptr) {
            return CallWindowProcW(control_procedure_, window, message, wparam, lparam);
        }
        PaneHandOverWatch& watch = *active_;
        HandOver hand_over;
        const auto* text = reinterpret_cast<const wchar_t*>(lparam);
        hand_over.characters = text != nullptr ? std::wcslen(text) : 0;
        hand_over.cursor = GetCursor();
        if (watch.options_.keep_text && text != nullptr) {
            hand_over.text = text;
        }
        hand_over.cpu_handed = ThreadCpuSeconds();
        hand_over.handed = Clock::now();
        const LRESULT result = watch.options_.swallow ? TRUE
                                                      : CallWindowProcW(control_procedure_, window,
                                                                        message, wparam, lparam);
        hand_over.taken = Clock::now();
        hand_over.cpu_taken = ThreadCpuSeconds();
        watch.hand_overs_.push_back(std::move(hand_over));
        return result;
    }

    inline static PaneHandOverWatch* active_ = nullptr;
    inline static WNDPROC control_procedure_ = nullptr;
    Options options_;
    gui::UniqueHandle<HHOOK, Unhook> hook_;
    std::vector<HandOver> hand_overs_;
};

}  // namespace dsf2vemo::tools
