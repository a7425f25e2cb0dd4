#pragma once

#include <windows.h>

#include <initializer_list>

#include "unique_handles.h"

namespace dsf2vemo::gui {

// The windows' default dialog font, 8-point MS Sans Serif, for `dpi`.
UniqueFont MakeDialogFont(UINT dpi);

// The dialog font for `dpi`, given to each of `controls` made so far (null ones are skipped).
// The controls use it as long as the returned font lives.
UniqueFont SetDialogFont(std::initializer_list<HWND> controls, UINT dpi);

}  // namespace dsf2vemo::gui
