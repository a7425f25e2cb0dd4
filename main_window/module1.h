#pragma once

#include <optional>

#include "moment_data.h"
#include "separators.h"

namespace dsf2vemo::gui {

// What the program keeps for the whole run besides its windows: the locale's separators,
// fetched once at start-up, and the moment data of the last file read successfully.
struct Module1 {
    Separators separators;
    // Empty before the first successful read and after a failed one, so that Convert can never
    // write one file's data under another file's name.
    std::optional<MomentData> moment_data;
};

}  // namespace dsf2vemo::gui
