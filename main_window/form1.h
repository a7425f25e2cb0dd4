#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base_window.h"
#include "diagnosis.h"
#include "file_dialog.h"
#include "form_layout.h"
#include "frm_help.h"
#include "message_box.h"
#include "module1.h"
#include "results_pane.h"
#include "rich_text_box.h"
#include "unique_handles.h"

namespace dsf2vemo::gui {

class frmAbout;

// The main window: Input reads a data system file and echoes it into the results pane, Output
// chooses the text data file, Convert writes it. The chosen paths live in the captions of
// LabelInput and LabelOutput.
class Form1 final : public BaseWindow {
  public:
    enum class OnClose { KeepRunning, EndProgram };

    // The window's title, also the title of its notices.
    static constexpr wchar_t kCaption[] = L"Convert from Prelis to Vemo";

    Form1(Module1& module, FileDialog& file_dialog, MessageBoxer& message_box,
          OnClose on_close = OnClose::KeepRunning);
    ~Form1() override;

    // Creates the window, hidden; Form_Load has run when this returns.
    void Create();
    void Show(int show_command = SW_SHOWNORMAL);
    // The about box the About button shows; it outlives this window.
    void SetAboutBox(frmAbout& about) { about_ = &about; }

    // Reads the first of `paths` as if it had been chosen with Input; says so when there are
    // more, and refuses a folder. Files dropped onto the window and files named on the command
    // line come in here.
    void OpenFiles(const std::vector<std::filesystem::path>& paths);

    // The most characters of an echo the results pane shows; a longer echo shows as a note of
    // its size. What the rich edit control holds, unless set lower.
    void LimitPaneText(std::size_t characters) { pane_capacity_ = characters; }

    // The controls' places in twips, as last laid out.
    const layout::FormLayout& Layout() const { return layout_; }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    void Form_Create();
    void Form_Load();
    void Form_Resize();
    void Form_Destroy();
    void Form_DpiChanged(UINT dpi, const RECT& suggested);
    void Form_Command(int control_id, int notification);
    void Form_QueryUnload();
    void Form_DropFiles(HDROP drop);

    void cmdInput_Click();
    void ReadInput(const std::wstring& path);
    void cmdOutput_Click();
    void cmdConvert_Click();
    void cmdHelp_Click();
    void cmdAbout_Click();

    void EnableDisable();
    void ShowEcho(const TextPane& echo, std::string_view after = {});
    void ShowEchoAndWarnings(std::span<const std::string> more);
    void ShowErrorMessage(const std::wstring& message, const std::wstring& description);

    void MakeFont();
    void ApplyLayout();
    void CenterOnScreen();

    Module1& module_;
    FileDialog& file_dialog_;
    MessageBoxer& message_box_;
    OnClose on_close_;
    frmAbout* about_ = nullptr;

    CommonDialog cmdlg1;
    layout::FormLayout layout_ = layout::DesignLayout();
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    UniqueFont font_;
    // Set while a click or a drop is handled: the modal dialogs and boxes shown meanwhile pump
    // messages, and a drop arriving then must not start a read inside the running one.
    bool busy_ = false;
    std::size_t pane_capacity_ = RichTextBox::kCapacity;
    // The echo of the last read and what the diagnosis found in it: the Warnings block is shown
    // again, with the renamings, when Convert writes Mplus summary data.
    std::unique_ptr<TextPane> echo_;
    std::vector<Finding> findings_;

    // Child windows go with their parent; these handles don't own them.
    HWND cmdInput = nullptr;
    HWND cmdOutput = nullptr;
    HWND cmdConvert = nullptr;
    HWND cmdHelp = nullptr;
    HWND cmdAbout = nullptr;
    HWND LabelInput = nullptr;
    HWND LabelOutput = nullptr;
    std::optional<RichTextBox> RichTextBox1;

    // Made on the first Help click and again after the user has closed it; owned by this window,
    // it closes with it.
    std::optional<frmHelp> help_window_;
};

// The window's text (a label's caption).
std::wstring WindowText(HWND window);

}  // namespace dsf2vemo::gui
