#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace dsf2vemo::gui {

// The four font attributes the font command carries to and from a control.
struct FontAttributes {
    std::wstring Name;
    bool Bold = false;
    bool Italic = false;
    float Size = 0;  // points

    bool operator==(const FontAttributes&) const = default;
};

// An entry of a list-like control, as its "SelectedItem" property gives it.
class ListItemProperties {
  public:
    virtual ~ListItemProperties() = default;
    // "Selected"; std::nullopt when the item has no such property.
    virtual std::optional<bool> Selected() const = 0;
};

// A control or a form as the help services see it: its type name and the properties they read
// and write by name. Controls differ in which of these they have. A missing property reads as
// std::nullopt and refuses a write (false); each service decides whether that is passed over or
// ends it.
class ControlProperties {
  public:
    virtual ~ControlProperties() = default;

    // The run-time type name: "Label", "CommandButton", "ListView", a form's own name.
    virtual std::wstring TypeName() const = 0;
    // "Parent": the form holding the control; nullptr for a form, or a control without one.
    virtual ControlProperties* Parent() const { return nullptr; }
    // "hWnd": the window of a form, or of a control that has one of its own; nullptr otherwise.
    virtual HWND hWnd() const { return nullptr; }
    virtual std::optional<std::int32_t> WhatsThisHelpID() const { return std::nullopt; }
    virtual std::optional<std::int32_t> HelpContextID() const { return std::nullopt; }
    // "SelectedItem": std::nullopt without the property, a null pointer when nothing is selected.
    virtual std::optional<const ListItemProperties*> SelectedItem() const { return std::nullopt; }

    virtual std::optional<COLORREF> ForeColor() const { return std::nullopt; }
    virtual bool SetForeColor(COLORREF) { return false; }
    virtual std::optional<COLORREF> BackColor() const { return std::nullopt; }
    virtual bool SetBackColor(COLORREF) { return false; }
    virtual std::optional<FontAttributes> Font() const { return std::nullopt; }
    virtual bool SetFont(const FontAttributes&) { return false; }
};

}  // namespace dsf2vemo::gui
