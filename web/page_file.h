#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diagnosis.h"
#include "dsf_reader.h"
#include "output_format.h"
#include "results_pane.h"
#include "separators.h"

namespace dsf2vemo::web {

// A file the page hands over: its name and its bytes.
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
    // exception: Failure() describes it, and the pane keeps what was echoed up to it.
    PageFile(std::string name, std::string_view bytes, std::string decimal_separator);

    bool IsRead() const { return file_.has_value(); }
    // What went wrong in the read, in the converter's words; empty after a successful read.
    const std::string& Failure() const { return failure_; }

    // The diagnosis of a file read successfully: its findings make the Warnings block.
    void Diagnose();
    std::size_t FindingCount() const { return findings_.size(); }

    // The results pane's text as the window shows it, in the page's text: the echo, then the
    // Warnings block of the findings and of what the last conversion that had something to say
    // said.
    std::string PaneText() const;

    // The file(s) of `format` under their default names; for Mplus, the input file and its data
    // file. A conversion that tells something (names renamed for Mplus) joins the Warnings.
    PageConversion Convert(OutputFormat format, const Separators& separators);
    // The name of the file of `format`, the first of two for Mplus.
    std::string OutputName(OutputFormat format) const;

  private:
    std::string name_;
    std::string decimal_separator_;
    TextPane echo_;
    std::optional<DsfFile> file_;
    std::vector<Finding> findings_;
    std::string failure_;
    std::vector<std::string> notes_;  // what the last conversion had to say
};

}  // namespace dsf2vemo::web
