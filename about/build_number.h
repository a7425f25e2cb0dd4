#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The build-number check for the developer's machine: is this the development build, and what
// is the most recent build number kept in the backup directory.
namespace dsf2vemo::about {

// Where the developer's machine keeps one sub-directory per backed-up build.
inline const std::filesystem::path kBackupDirectory = L"f:\\AppsBackups";

// The number a name begins with (leading blanks skipped, optional sign,
// digits, a '.' as decimal point, an optional exponent; 0 when the name begins with anything
// else), then rounded to the nearest whole number, a half to the even one. Empty when that whole
// number lies outside -32768 to 32767.
std::optional<std::int16_t> LeadingNumber(std::wstring_view name);

// The greatest leading number among the names of the sub-directories of `directory`; files are
// ignored, and so are names whose number does not fit. -1 when there is none, or when the
// directory cannot be read.
std::int16_t MostRecentBuildNumber(const std::filesystem::path& directory);

// True for the development build: the executable's name without directory and extension is
// "divazu~1", in any letter case.
bool IsDevelopmentExecutable(const std::filesystem::path& executable);

// The complaint when the build number is not above the most recent one.
std::wstring BuildNumberMessage(std::int32_t current, std::int32_t proposed);

}  // namespace dsf2vemo::about
