#include "help_file.h"

#include "path_divide.h"

namespace dsf2vemo::gui {

std::wstring HelpFileFor(std::int32_t help_id, std::wstring_view specific_help_file,
                         std::wstring_view program_directory) {
    const std::wstring_view name =
        help_id >= kSharedHelpThreshold ? std::wstring_view(kSharedHelpFile) : specific_help_file;
    CPathDivide divide;
    divide.Init(name);
    return std::wstring(program_directory) + L"\\" + divide.NamePlusExtension();
}

}  // namespace dsf2vemo::gui
