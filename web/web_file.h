#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "block_text.h"
#include "output_format.h"
#include "page_file.h"

namespace dsf2vemo::web {

// The format at `index` of the page's Output choice (Vemo, JSON, Mplus); std::nullopt past them.
std::optional<OutputFormat> FormatOfPageIndex(int index);

// The one archive the Mplus pair is handed over in, so that no browser can rename one file of the
// pair apart from the other: "study.inp" gives "study-mplus.zip".
std::string MplusArchiveName(std::string_view input_file_name);

// What a conversion for the page gave: the files (or the failure), the name of the first file,
// for Mplus the archive's name, and whether the pane's text changed.
struct WebConversion {
    std::vector<PageOutput> files;
    std::string failure;
    std::string output;
    std::string archive;
    bool pane_changed = false;
};

// The file the page's worker holds: PageFile with the page's text on the way in and out, and no
// failure, not even one of memory, leaving it as an exception.
class WebFile {
  public:
    // Reads a file of `size` bytes that `fill` copies into the buffer it is given, echoing numbers
    // with the page's `decimal` separator; the pane keeps at most `pane_limit` characters.
    void Read(std::string name, std::size_t size, const std::function<void(std::span<char>)>& fill,
              std::string_view decimal, std::size_t pane_limit = kPaneCharacterLimit);

    bool IsRead() const { return file_ && file_->IsRead(); }
    // Why the file was not read; empty after a successful read.
    const std::string& Failure() const { return failure_; }
    std::size_t FindingCount() const { return file_ ? file_->FindingCount() : 0; }
    void Diagnose();

    // Hands the pane's text to `destination` piece by piece. Returns "" or, where it could not be
    // made whole, why not.
    std::string WritePaneText(const BlockText::Destination& destination) const;

    // The file(s) of the Output choice `format_index` with the page's separators; the bytes of a
    // format of one file go to `destination` block by block.
    WebConversion Convert(int format_index, std::string_view list, std::string_view decimal,
                          const BlockText::Destination& destination);

  private:
    std::optional<PageFile> file_;
    std::string failure_;
};

}  // namespace dsf2vemo::web
