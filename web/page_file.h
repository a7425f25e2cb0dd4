#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "block_text.h"
#include "diagnosis.h"
#include "dsf_reader.h"
#include "output_format.h"
#include "pane_head.h"
#include "separators.h"

namespace dsf2vemo::web {

// What the page says where its memory ran short: the browser's memory for a page is far less than
// the computer's.
inline constexpr std::string_view kPageOutOfMemory =
    "not enough memory for this file in the browser, which gives a page far less than the "
    "computer has; dsf2vemo-cli converts it";

// The converter's words for a failure, and the page's where its memory ran short.
std::string PageFailureDescription(std::exception_ptr failure);

// A file the page hands over: its name and its bytes (none where they went to a destination).
struct PageOutput {
    std::string name;
    std::string bytes;
};

// What Convert gave: the files, or the description of the failure and no file at all; and
// whether the pane's text changed.
struct PageConversion {
    std::vector<PageOutput> files;
    std::string failure;
    bool pane_changed = false;
};

// One data system file given to the page, taken through the window's road: read with its echo,
// diagnosed, and converted on demand, every step in memory. Separators are in the file's
// single-byte text (FileTextFromPage).
class PageFile {
  public:
    // Reads `bytes` as Input does, echoing numbers with `decimal_separator`. A failed read is no
    // exception: Failure() describes it, and the pane keeps what was echoed up to it. The pane
    // keeps at most `pane_limit` characters of the echo.
    PageFile(std::string name, std::string_view bytes, std::string decimal_separator,
             std::size_t pane_limit = kPaneCharacterLimit);

    bool IsRead() const { return file_.has_value(); }
    // What went wrong in the read, in the converter's words; empty after a successful read.
    const std::string& Failure() const { return failure_; }

    // The diagnosis of a file read successfully: its findings make the Warnings block.
    void Diagnose();
    std::size_t FindingCount() const { return findings_.size(); }

    // The results pane's text as the window shows it, in the page's text: the echo, then the
    // Warnings block of the findings and of what the last conversion that had something to say
    // said. An echo longer than the pane keeps shows its head and a line about the rest.
    std::string PaneText() const;
    // The same text handed to `destination` piece by piece, so that it is never held twice.
    void WritePaneText(const BlockText::Destination& destination) const;

    // The file(s) of `format` under their default names; for Mplus, the input file and its data
    // file. A conversion that tells something (names renamed for Mplus) joins the Warnings.
    // With a destination, the bytes of a format of one file go there block by block instead.
    PageConversion Convert(OutputFormat format, const Separators& separators,
                           const BlockText::Destination& destination = {});
    // The name of the file of `format`, the first of two for Mplus.
    std::string OutputName(OutputFormat format) const;

  private:
    std::string name_;
    std::string decimal_separator_;
    PaneHead echo_;
    std::optional<DsfFile> file_;
    std::vector<Finding> findings_;
    std::string failure_;
    std::vector<std::string> notes_;  // what the last conversion had to say
};

}  // namespace dsf2vemo::web
