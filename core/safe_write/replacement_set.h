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

    // Keeps the old file of each target (for a link, the file it names; on Windows all but the
    // last, whose move is written through) beside it under a temporary name (a hard link, or a
    // copy where the file system has none), finishes every replacement, puts them in place in
    // order and flushes their folders; only then are the kept files removed. When any step fails,
    // the files already replaced are put back as they were (the ones that didn't exist removed)
    // before the failure is passed on. An interrupt before the end does the same. A kept file is
    // never removed unless it was put back or is no longer needed: one that can't be put back,
    // tried for about a second, stays beside its target, and the failure names it.
    void Commit();

  private:
    std::vector<std::filesystem::path> targets_;
    std::vector<std::unique_ptr<ReplacementFile>> files_;
};

}  // namespace dsf2vemo
