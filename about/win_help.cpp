#include "win_help.h"

namespace dsf2vemo::gui {

std::string WideToAnsi(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int wide_length = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), wide_length, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

}  // namespace dsf2vemo::gui
