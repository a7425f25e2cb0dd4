#pragma once

#include <string>
#include <utility>

#include "file_dialog.h"

namespace dsf2vemo::tools {

// Answers every opening with one preset path, as if the user had chosen it: for driving the window
// without a person (benchmarks, screenshots).
class PresetFileDialog final : public gui::FileDialog {
  public:
    explicit PresetFileDialog(std::wstring path) : path_(std::move(path)) {}
    bool ShowOpen(HWND, gui::CommonDialog& dialog) override {
        dialog.FileName = path_;
        return true;
    }

  private:
    std::wstring path_;
};

}  // namespace dsf2vemo::tools
