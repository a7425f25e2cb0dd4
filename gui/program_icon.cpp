#include "program_icon.h"

#include "resource.h"

namespace dsf2vemo::gui {

HICON ProgramIcon() {
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
    return icon != nullptr ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace dsf2vemo::gui
