#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace dsf2vemo {

// Names tried for a temporary file before giving up: a folder holding this many of ours has
// something wrong with it.
inline constexpr int kTemporaryNameAttempts = 100;

// A short name for a temporary file ("dsf2vemo-1a2b3c4d.tmp"), different on each call.
std::string RandomTemporaryName();

// Makes a file in `folder` under the first free name from `next_name`: `make` makes it and
// returns true, returns false when the name is taken (the next one is then tried), or throws.
// Returns the name made; throws ConversionError (CannotWrite) as "`failure`: 100 names were
// taken" when none was free.
std::filesystem::path MakeUnderFreshName(
    const std::filesystem::path& folder,
    const std::function<bool(const std::filesystem::path&)>& make,
    const std::function<std::string()>& next_name, std::string_view failure);

}  // namespace dsf2vemo
