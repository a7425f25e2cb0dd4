#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "help_services.h"
#include "resource.h"

namespace dsf2vemo::testing {

// A WinHelp call: window, help file, command, data.
using WinHelpRequest = std::tuple<HWND, std::string, UINT, ULONG_PTR>;

// The help services' seams, all recording or scripted: nothing opens for real.
struct ScriptedHelpSeams {
    // Records help requests instead of starting the help viewer.
    struct WinHelp final : gui::WinHelpCaller {
        BOOL Call(HWND window, const std::string& file, UINT command, ULONG_PTR data) override {
            requests.emplace_back(window, file, command, data);
            return TRUE;
        }
        std::vector<WinHelpRequest> requests;
    } win_help;

    // Records what each dialog opened with and answers `answer` (unset: cancelled).
    struct Dialogs final : gui::ColorFontDialog {
        using State = gui::ColorFontDialogState;
        void ShowColor(HWND, State& state) override { Answer(colors, state); }
        void ShowFont(HWND, State& state) override { Answer(fonts, state); }
        void Answer(std::vector<State>& openings, State& state) {
            openings.push_back(state);
            state = answer.value_or(state);
        }
        std::optional<State> answer;
        std::vector<State> colors, fonts;
    } dialogs;

    // Reads each popup back instead of opening it, one line per item ("P&roperties/&ForeColor"
    // for a submenu's, "-" for a separator, " (disabled)" after a greyed one), and picks the
    // next scripted line (none left, or no such line: dismissed).
    struct Popup final : gui::PopupTracker {
        UINT Track(HWND menu_owner, HMENU menu) override {
            owner = menu_owner;
            std::vector<UINT> ids;
            const std::vector<std::wstring>& lines = shown.emplace_back(Read(menu, L"", ids));
            const std::wstring pick = picks.empty() ? L"" : picks.front();
            picks.erase(picks.begin(), picks.begin() + (picks.empty() ? 0 : 1));
            const auto at = std::find(lines.begin(), lines.end(), pick);
            return at == lines.end() ? 0 : ids[static_cast<std::size_t>(at - lines.begin())];
        }
        static std::vector<std::wstring> Read(HMENU menu, const std::wstring& prefix,
                                              std::vector<UINT>& ids) {
            std::vector<std::wstring> lines;
            for (UINT i = 0; i < static_cast<UINT>(GetMenuItemCount(menu)); ++i) {
                wchar_t text[64] = {};
                MENUITEMINFOW info{};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
                info.dwTypeData = text;
                info.cch = 64;
                EXPECT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &info));
                // Separators come back greyed too.
                const bool grayed = (info.fState & MFS_GRAYED) != 0;
                // Commands come from the menu's own block, clear of a dialog's IDOK and IDCANCEL.
                EXPECT_TRUE(info.hSubMenu != nullptr || (info.fType & MFT_SEPARATOR) != 0 ||
                            info.wID >= IDM_POPUP_FIRST)
                    << info.wID;
                lines.push_back((info.fType & MFT_SEPARATOR) != 0
                                    ? L"-"
                                    : prefix + text + (grayed ? L" (disabled)" : L""));
                ids.push_back(info.wID);
                if (info.hSubMenu != nullptr) {
                    const std::vector<std::wstring> sub =
                        Read(info.hSubMenu, lines.back() + L"/", ids);
                    lines.insert(lines.end(), sub.begin(), sub.end());
                }
            }
            return lines;
        }
        std::deque<std::wstring> picks;
        HWND owner = nullptr;
        std::vector<std::vector<std::wstring>> shown;
    } popup;

    gui::HelpSeams Seams() { return {win_help, dialogs, popup}; }
};

// Works the next visible window of `window_class` ("#32768" a popup menu, "#32770" a dialog) of
// the test's thread once that thread runs the window's modal loop (for a menu: is in menu mode):
// the loop runs on that thread, so `action` runs from a thread of its own. Gives up after 30 s.
inline std::jthread WorkWindow(std::wstring window_class, std::function<void(HWND)> action) {
    return std::jthread([=, ui = GetCurrentThreadId()] {
        const auto ready = [&](HWND window) {
            GUITHREADINFO thread{};
            thread.cbSize = sizeof(thread);
            return GetWindowThreadProcessId(window, nullptr) == ui && IsWindowVisible(window) &&
                   (window_class != L"#32768" ||
                    (GetGUIThreadInfo(ui, &thread) && (thread.flags & GUI_INMENUMODE) != 0));
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            HWND window = nullptr;
            while ((window = FindWindowExW(nullptr, window, window_class.c_str(), nullptr))) {
                if (ready(window)) {
                    return action(window);
                }
            }
            Sleep(10);
        }
    });
}

}  // namespace dsf2vemo::testing
