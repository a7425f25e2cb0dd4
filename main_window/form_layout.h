#pragma once

#include "twip_rect.h"

// The main window's geometry in twips (1440 to the inch), as pure functions: what Form_Load and
// Form_Resize do to the controls' positions, with no window involved.

namespace dsf2vemo::layout {

// The client area the window is designed for.
inline constexpr float kDesignClientWidth = 5052;
inline constexpr float kDesignClientHeight = 3948;

struct FormLayout {
    TwipRect cmdInput;
    TwipRect cmdOutput;
    TwipRect cmdConvert;
    TwipRect cmdHelp;
    TwipRect cmdAbout;
    TwipRect LabelInput;
    TwipRect LabelOutput;
    TwipRect RichTextBox1;

    friend bool operator==(const FormLayout&, const FormLayout&) = default;
};

// Every control where it stands at design time.
FormLayout DesignLayout();

// The left edges fixed once before the window is first shown.
void Form_Load(FormLayout& form);

// Stretches the labels and the results pane to 100 twips short of the right edge (the pane also
// of the bottom edge), keeps About 100 twips from the right edge and Help centred, for an inner
// area of `scale_width` by `scale_height` twips. A width or height that would come out negative
// (a window narrower or lower than the fixed controls need) is clamped at 0.
void Form_Resize(FormLayout& form, float scale_width, float scale_height);

// Centres `control` horizontally in a container `container_scale_width` twips wide. The left
// edge may come out fractional or negative.
void CenterControl(TwipRect& control, float container_scale_width);

}  // namespace dsf2vemo::layout
