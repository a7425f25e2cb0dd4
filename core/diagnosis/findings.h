#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "moment_view.h"

namespace dsf2vemo {

// One thing a diagnosis looks for: its code, whether finding it makes the positive-definiteness
// test pointless (its answer would only repeat the finding), and the check, which gives the
// sentence when it finds something.
struct FindingRule {
    std::string_view code;
    bool blocks_definiteness_test;
    std::optional<std::string> (*check)(const MomentView&);
};

// The simple checks, in the order their findings are reported.
std::span<const FindingRule> FindingRules();

// The positive-definiteness test, run after the simple checks only when none of them blocks it.
// Throws ConversionError (Unsupported) when the memory for it can't be had.
std::optional<std::string> NotPositiveDefinite(const MomentView& view);
inline constexpr std::string_view kNotPositiveDefinite = "not-positive-definite";

}  // namespace dsf2vemo
