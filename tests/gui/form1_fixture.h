#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "control_ids.h"
#include "dsf_builder.h"
#include "form1.h"
#include "module1.h"
#include "scripted_seams.h"
#include "temp_dir.h"

namespace dsf2vemo::testing {

inline std::vector<std::byte> DemoBytes() {
    return BuildDsf(DemoMomentData(), kDemoHeader);
}

// The demo file cut short after 100 of its 128 bytes.
inline std::vector<std::byte> TruncatedDemoBytes() {
    std::vector<std::byte> bytes = DemoBytes();
    bytes.resize(100);
    return bytes;
}

// A real main window on the test's thread, with the file dialog and the message box scripted.
class Form1Fixture : public ::testing::Test {
  protected:
    Form1Fixture() : module_{Separators{",", "."}, {}}, form_(module_, dialog_, box_) {}

    void SetUp() override {
        form_.Create();
        form_.Show(SW_SHOWNOACTIVATE);
    }

    HWND Control(gui::ControlId id) const { return GetDlgItem(form_.Hwnd(), id); }
    void Click(gui::ControlId id) const { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    std::wstring Caption(gui::ControlId id) const { return gui::WindowText(Control(id)); }
    bool ConvertEnabled() const { return IsWindowEnabled(Control(gui::IDC_cmdConvert)) != 0; }
    std::wstring PaneText() const { return gui::WindowText(Control(gui::IDC_RichTextBox1)); }

    // Input with the dialog answering `path` (or cancelling).
    void Input(std::optional<std::filesystem::path> path) {
        dialog_.Answer(path ? std::optional<std::wstring>(path->wstring()) : std::nullopt);
        Click(gui::IDC_cmdInput);
    }
    void Output(std::optional<std::filesystem::path> path) {
        dialog_.Answer(path ? std::optional<std::wstring>(path->wstring()) : std::nullopt);
        Click(gui::IDC_cmdOutput);
    }

    // A file in the test's folder, with Windows separators.
    std::filesystem::path File(const std::wstring& name) const {
        return (temp_.Path() / name).make_preferred();
    }

    TempDir temp_;
    gui::Module1 module_;
    ScriptedFileDialog dialog_;
    RecordingMessageBox box_;
    gui::Form1 form_;
};

}  // namespace dsf2vemo::testing
