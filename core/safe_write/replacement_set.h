#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "replacement_file.h"

namespace dsf2vemo {

// Files that belong together (an Mplus input file and its data file), replaced together: each
// is written to a ReplacementFile of its own, and Commit puts all of them in place or, when one
// fails, none. Until Commit every target stays as it was; a set that is never committed leaves
// them so. Failures throw ConversionError (CannotWrite).
class ReplacementSet {
  public:
    explicit ReplacementSet(std::span<const std::filesystem::path> targets);

    ReplacementFile& File(std::size_t index) { return *files_.at(index); }

    // Keeps the old file of each target but the last (for a link, the file it names) beside it,
    // under a temporary name, commits the replacements in order, and when one fails puts the
    // files already replaced back as they were (removing the ones that didn't exist) before
    // passing the failure on. An interrupt meanwhile does the same, unless it comes after the
    // last commit.
    void Commit();

  private:
    std::vector<std::filesystem::path> targets_;
    std::vector<std::unique_ptr<ReplacementFile>> files_;
};

}  // namespace dsf2vemo
