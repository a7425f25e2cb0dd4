#pragma once

#include "resource.h"

namespace dsf2vemo::gui {

// Control identifiers of the main window, from its block.
enum ControlId : int {
    IDC_cmdInput = IDC_MAIN_FIRST,
    IDC_cmdOutput,
    IDC_cmdConvert,
    IDC_cmdHelp,
    IDC_cmdAbout,
    IDC_LabelInput,
    IDC_LabelOutput,
    IDC_RichTextBox1,
};
static_assert(IDC_RichTextBox1 <= IDC_MAIN_LAST);

}  // namespace dsf2vemo::gui
