#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "control_ids.h"
#include "dsf_builder.h"
#include "form1.h"
#include "temp_dir.h"
#include "unique_hook.h"

// The real common file dialog and the real message box, answered from inside their modal loops:
// a CBT hook sees each dialog activated and arms a timer on it; the timer types the file name
// (or cancels), or reads the message box and closes it.
namespace dsf2vemo::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kFileNameBox = 0x47c;
constexpr int kMessageText = 0xFFFF;

struct ModalAnswers {
    std::wstring file_name;  // typed into the file dialog; empty: cancel it
    int file_dialogs = 0;
    std::vector<std::pair<std::wstring, std::wstring>> boxes;  // caption, text
};

ModalAnswers* g_answers = nullptr;

void CALLBACK AnswerDialog(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    if (const HWND name = GetDlgItem(dialog, kFileNameBox)) {
        ++g_answers->file_dialogs;
        if (g_answers->file_name.empty()) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        SetWindowTextW(name, g_answers->file_name.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    } else if (const HWND text = GetDlgItem(dialog, kMessageText)) {
        g_answers->boxes.emplace_back(gui::WindowText(dialog), gui::WindowText(text));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
}

LRESULT CALLBACK WatchActivation(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE) {
        const auto window = reinterpret_cast<HWND>(wparam);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) == L"#32770") {
            SetTimer(window, 1, 20, &AnswerDialog);
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

class RealDialogsTest : public ::testing::Test {
  protected:
    RealDialogsTest()
        : form_(module_, dialog_, box_),
          hook_(SetWindowsHookExW(WH_CBT, &WatchActivation, nullptr, GetCurrentThreadId())) {
        g_answers = &answers_;
    }
    ~RealDialogsTest() override { g_answers = nullptr; }

    void SetUp() override {
        ASSERT_TRUE(hook_);
        form_.Create();
        form_.Show(SW_SHOWNORMAL);
    }

    void Click(gui::ControlId id) { SendMessageW(GetDlgItem(form_.Hwnd(), id), BM_CLICK, 0, 0); }
    std::wstring Caption(gui::ControlId id) {
        return gui::WindowText(GetDlgItem(form_.Hwnd(), id));
    }

    TempDir temp_;
    ModalAnswers answers_;
    gui::Module1 module_{Separators{",", "."}, {}};
    gui::OpenFileDialog dialog_;
    gui::SystemMessageBox box_;
    gui::Form1 form_;
    UniqueHook hook_;
};

TEST_F(RealDialogsTest, ReadFailureShowsTheErrorBox) {
    const fs::path input = (temp_.Path() / "short.dsf").make_preferred();
    std::vector<std::byte> bytes = BuildDsf(DemoMomentData(), kDemoHeader);
    bytes.resize(100);
    WriteFileBytes(input, bytes);
    answers_.file_name = input.wstring();
    Click(gui::IDC_cmdInput);
    EXPECT_EQ(answers_.file_dialogs, 1);
    EXPECT_EQ(Caption(gui::IDC_LabelInput), input.wstring());
    ASSERT_EQ(answers_.boxes.size(), 1u);
    EXPECT_EQ(answers_.boxes[0].first, L"Error");
    EXPECT_EQ(answers_.boxes[0].second,
              L"An error occurred while trying to read the Prelis file,\r\n" + input.wstring() +
                  L".\r\n\r\n(the file is 100 bytes long, but a data system file with 2 variables "
                  L"needs 128 bytes)");
}

TEST_F(RealDialogsTest, ChosenFilesAreReadAndWritten) {
    const fs::path input = (temp_.Path() / "demo.dsf").make_preferred();
    const fs::path output = (temp_.Path() / "new name.txt").make_preferred();
    WriteFileBytes(input, BuildDsf(DemoMomentData(), kDemoHeader));
    answers_.file_name = input.wstring();
    Click(gui::IDC_cmdInput);
    answers_.file_name = output.wstring();
    Click(gui::IDC_cmdOutput);
    EXPECT_EQ(answers_.file_dialogs, 2);
    EXPECT_EQ(Caption(gui::IDC_LabelOutput), output.wstring());
    Click(gui::IDC_cmdConvert);
    EXPECT_TRUE(answers_.boxes.empty());
    EXPECT_EQ(ReadFileText(output).substr(0, 27), "rowtype_,varname_,X1,X2\r\nn,");
}

TEST_F(RealDialogsTest, CancelIsSilent) {
    answers_.file_name.clear();
    Click(gui::IDC_cmdInput);
    Click(gui::IDC_cmdOutput);
    EXPECT_EQ(answers_.file_dialogs, 2);
    EXPECT_TRUE(answers_.boxes.empty());
    EXPECT_EQ(Caption(gui::IDC_LabelInput), L"");
    EXPECT_EQ(Caption(gui::IDC_LabelOutput), L"");
}

}  // namespace
}  // namespace dsf2vemo::testing
