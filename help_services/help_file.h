#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dsf2vemo::gui {

// Help IDs from here up are topics of the help file the maker's applications share.
inline constexpr std::int32_t kSharedHelpThreshold = 30000;
inline constexpr wchar_t kSharedHelpFile[] = L"vemoapps.hlp";
// The topic Help opens when neither the control nor its form names one.
inline constexpr std::int32_t kDefaultContextID = 3000;
// The program's own help file, named in its project: this program has none.
inline constexpr wchar_t kProjectHelpFile[] = L"";

// The help file for `help_id`: the shared file from kSharedHelpThreshold up, `specific_help_file`
// below it; always looked for in `program_directory`, under its bare name and extension.
std::wstring HelpFileFor(std::int32_t help_id, std::wstring_view specific_help_file,
                         std::wstring_view program_directory);

}  // namespace dsf2vemo::gui
