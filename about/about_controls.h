#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "base_window.h"
#include "control_properties.h"

namespace dsf2vemo::gui {

// The about box itself as the help services see it: a form with its window and no help context
// ID of its own.
class AboutFormProperties final : public ControlProperties {
  public:
    explicit AboutFormProperties(const BaseWindow& window) : window_(window) {}

    std::wstring TypeName() const override { return L"frmAbout"; }
    HWND hWnd() const override { return window_.Hwnd(); }
    std::optional<std::int32_t> HelpContextID() const override { return 0; }

  private:
    const BaseWindow& window_;
};

// A control of the about box as the help services see it: its type name, the about box as its
// form (whose window its popups belong to), its What's This help ID and, for a button, a help
// context ID. None of them is list-like, so the colour and font commands never reach them and
// they offer no such properties.
class AboutControlProperties final : public ControlProperties {
  public:
    AboutControlProperties(std::wstring type_name, ControlProperties& form,
                           std::int32_t whats_this_help_id,
                           std::optional<std::int32_t> help_context_id)
        : type_name_(std::move(type_name)),
          form_(form),
          whats_this_help_id_(whats_this_help_id),
          help_context_id_(help_context_id) {}

    std::wstring TypeName() const override { return type_name_; }
    ControlProperties* Parent() const override { return &form_; }
    std::optional<std::int32_t> WhatsThisHelpID() const override { return whats_this_help_id_; }
    std::optional<std::int32_t> HelpContextID() const override { return help_context_id_; }

  private:
    std::wstring type_name_;
    ControlProperties& form_;
    std::int32_t whats_this_help_id_;
    std::optional<std::int32_t> help_context_id_;
};

}  // namespace dsf2vemo::gui
