#pragma once

#include <windows.h>

#include <cstdint>

namespace dsf2vemo::gui {

// What one mouse message to a control amounts to, as the events the form's handlers take.
struct MouseEvents {
    bool MouseMove = false;
    std::int16_t MouseUp = 0;  // the button released, 0 for none
    bool Click = false;
    // The message is the control's no further: it must not see it itself.
    bool Taken = false;
};

// A push button's: moves, and the release of any button. Its own click follows the release,
// from the button itself.
MouseEvents ButtonMouseEvents(UINT message);

// A label's: moves; the release of a button pressed on the label, wherever the release happens
// (the label holds the mouse from the press on), and a click when the release is over the label.
// The release of a press made elsewhere belongs there.
MouseEvents LabelMouseEvents(HWND label, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace dsf2vemo::gui
