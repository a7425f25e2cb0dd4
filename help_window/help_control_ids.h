#pragma once

#include "resource.h"

namespace dsf2vemo::gui {

// Control identifiers of the help window, from its block.
enum HelpControlId : int {
    IDC_frmHelp_RichTextBox1 = IDC_HELP_FIRST,
};
static_assert(IDC_frmHelp_RichTextBox1 <= IDC_HELP_LAST);

}  // namespace dsf2vemo::gui
