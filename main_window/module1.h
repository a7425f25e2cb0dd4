#pragma once

#include <optional>

#include "dsf_reader.h"
#include "separators.h"

namespace dsf2vemo::gui {

// What the program keeps for the whole run besides its windows: the locale's separators,
// fetched once at start-up, and the moment data (with the header, which JSON carries) of the
// last file read successfully.
struct Module1 {
    Separators separators;
    // Empty before the first successful read and after a failed one, so that Convert can never
    // write one file's data under another file's name.
    std::optional<DsfFile> moment_data;
};

}  // namespace dsf2vemo::gui
