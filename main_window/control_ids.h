#pragma once

namespace dsf2vemo::gui {

// Control identifiers of the main window, from its block 1000-1099.
enum ControlId : int {
    IDC_cmdInput = 1000,
    IDC_cmdOutput,
    IDC_cmdConvert,
    IDC_cmdHelp,
    IDC_cmdAbout,
    IDC_LabelInput,
    IDC_LabelOutput,
    IDC_RichTextBox1,
};

}  // namespace dsf2vemo::gui
