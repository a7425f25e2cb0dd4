#pragma once

#include "resource.h"

namespace dsf2vemo::gui {

// Control identifiers of the about box, from its block.
enum AboutControlId : int {
    IDC_labelBuild = IDC_ABOUT_FIRST,
    IDC_Label1,
    IDC_Label2,
    IDC_Command1,
};
static_assert(IDC_Command1 <= IDC_ABOUT_LAST);

}  // namespace dsf2vemo::gui
