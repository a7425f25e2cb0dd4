#include "program_icon.h"

namespace dsf2vemo::gui {

HICON ProgramIcon(int id) {
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    return icon != nullptr ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace dsf2vemo::gui
