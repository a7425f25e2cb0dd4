#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "file_dialog.h"
#include "message_box.h"
#include "shell_execute.h"

namespace dsf2vemo::testing {

// A file dialog that answers from a script and records what each opening was asked.
class ScriptedFileDialog final : public gui::FileDialog {
  public:
    // The next opening returns `path` as if chosen, or cancels for std::nullopt.
    void Answer(std::optional<std::wstring> path) { answers_.push_back({std::move(path), 0}); }
    // Returns `path` with the type `filter_index` (from 1) picked.
    void AnswerWithType(std::wstring path, DWORD filter_index) {
        answers_.push_back({std::move(path), filter_index});
    }

    bool ShowOpen(HWND, gui::CommonDialog& dialog) override {
        openings.push_back(dialog);
        if (const auto action = std::exchange(while_open, nullptr)) {
            action();
        }
        if (answers_.empty()) {
            ADD_FAILURE() << "the file dialog opened with no answer scripted";
            return false;
        }
        auto [answer, filter_index] = std::move(answers_.front());
        answers_.pop_front();
        if (!answer) {
            return false;
        }
        dialog.FileName = *answer;
        if (filter_index != 0) {
            dialog.FilterIndex = filter_index;
        }
        return true;
    }

    std::vector<gui::CommonDialog> openings;
    // Runs once, inside the next opening, as if the user did something while the dialog is open.
    std::function<void()> while_open;

  private:
    // A type of 0 leaves the one the dialog opened with.
    std::deque<std::pair<std::optional<std::wstring>, DWORD>> answers_;
};

struct ShownBox {
    std::wstring text;
    std::wstring caption;
    UINT style = 0;
};

// A message box that only records.
class RecordingMessageBox final : public gui::MessageBoxer {
  public:
    int Show(HWND, const std::wstring& text, const std::wstring& caption, UINT style) override {
        shown.push_back({text, caption, style});
        if (const auto action = std::exchange(while_open, nullptr)) {
            action();
        }
        return IDOK;
    }

    std::vector<ShownBox> shown;
    // Runs once, inside the next box, as if the user did something while it is open.
    std::function<void()> while_open;
};

struct ShellCall {
    HWND window = nullptr;
    std::wstring operation;
    std::wstring file;
    std::wstring directory;
    int show_command = 0;
};

// A shell that only records what it was asked to open.
class RecordingShell final : public gui::ShellExecutor {
  public:
    void Execute(HWND window, const std::wstring& operation, const std::wstring& file,
                 const std::wstring& directory, int show_command) override {
        calls.push_back({window, operation, file, directory, show_command});
    }

    std::vector<ShellCall> calls;
};

}  // namespace dsf2vemo::testing
