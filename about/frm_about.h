#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "about_controls.h"
#include "base_window.h"
#include "build_number.h"
#include "help_services.h"
#include "message_box.h"
#include "modal_scope.h"
#include "mouse_events.h"
#include "program_path.h"
#include "shell_execute.h"
#include "unique_handles.h"

namespace dsf2vemo::gui {

// The about box: a version line, the copyright notice, a link to the product page and OK. The
// object lives as long as the program and keeps the version line and the build number; its
// window is created for each showing and destroyed when closed.
class frmAbout final : public BaseWindow {
  public:
    frmAbout(ShellExecutor& shell, MessageBoxer& message_box, HelpSeams help_seams);
    ~frmAbout() override;

    void SetVersion(std::wstring_view text);
    void SetBuildNumber(std::int32_t xBuildNumber);
    std::int32_t GetBuildNumber() const;
    // Shows the box modally, titled `xCaption` (or "About" when it is empty), with the notice
    // for `xYear`; returns when it has been closed.
    void ShowAbout(std::wstring_view xCaption, std::wstring_view xYear);
    void ShowAbout(std::wstring_view xCaption, std::int16_t xYear);

    // The build-number check of the developer's machine: true unless this is the development
    // build and its number is not above the most recent backed-up one, which is then reported.
    // `executable` and `backup_directory` are for tests.
    bool BuildNumberIsOK(const std::filesystem::path& executable = ProgramPath(),
                         const std::filesystem::path& backup_directory = about::kBackupDirectory);
    // Whether `executable` is the development build.
    bool InIde(const std::filesystem::path& executable = ProgramPath()) const {
        return about::IsDevelopmentExecutable(executable);
    }
    std::int16_t GetMostRecentBuildNumber(
        const std::filesystem::path& backup_directory = about::kBackupDirectory) const {
        return about::MostRecentBuildNumber(backup_directory);
    }

    // Closes the window if it is open (the main window does this as it closes); the state stays.
    void Unload();

    // For tests: runs while a showing sets up, after the window exists and the other windows are
    // disabled; what it throws is a failure of ShowAbout.
    void SetShowingFault(std::function<void()> fault) { showing_fault_ = std::move(fault); }

    // The help services the about box carries for any form: What's This, context help and the
    // property popup menu.
    HelpServices& Services() { return help_services_; }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR id, DWORD_PTR self);
    LRESULT HandleControlMessage(HWND control, int id, UINT message, WPARAM wparam, LPARAM lparam);
    void RaiseMouseEvents(int id, const MouseEvents& events);

    void Form_Initialize();
    void Form_Create();
    void Form_Load();
    void Form_MouseMove();
    void Form_DpiChanged(UINT dpi, const RECT& suggested);
    void Form_Command(int control_id, int notification);
    LRESULT Form_CtlColorStatic(HDC dc, HWND label);
    bool Form_SetCursor(HWND window, int hit_test);

    void Command1_Click();
    void Command1_MouseMove();
    void Command1_MouseUp(std::int16_t Button);
    void Label1_MouseMove();
    void Label1_MouseUp(std::int16_t Button);
    void Label2_MouseMove();
    void Label2_MouseUp(std::int16_t Button);
    void Label2_Click();

    void ResetLinkColor();
    void SetLinkColor(COLORREF color);
    void Close();
    void RunModalLoop();

    void MakeFont();
    void ApplyLayout();

    ShellExecutor& shell_;
    MessageBoxer& message_box_;

    // The box and the controls the popup menu opens for, as the help services see them.
    AboutFormProperties form_properties_{*this};
    AboutControlProperties label1_properties_{L"Label", form_properties_, 32001, std::nullopt};
    AboutControlProperties label2_properties_{L"Label", form_properties_, 32002, std::nullopt};
    AboutControlProperties command1_properties_{L"CommandButton", form_properties_, 32003, 0};
    HelpServices help_services_;

    // What outlives the window.
    std::wstring version_line_;
    std::int32_t build_number_ = 0;
    std::int16_t last_link_button_ = 0;

    // What the current showing sets up.
    std::wstring caption_;
    std::wstring year_;
    std::optional<ModalScope> modal_;
    UniqueWindow stand_in_owner_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    UniqueFont font_;
    COLORREF link_color_ = 0;
    std::function<void()> showing_fault_;

    // Child windows go with their parent; these handles don't own them.
    HWND labelBuild = nullptr;
    HWND Label1 = nullptr;
    HWND Label2 = nullptr;
    HWND Command1 = nullptr;
};

}  // namespace dsf2vemo::gui
