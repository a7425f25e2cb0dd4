#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "results_pane.h"

namespace dsf2vemo::web {

// The longest pane the page shows, in characters: a little below the longest string a browser
// holds (2^29 - 24 in Chromium's and Node's engine), leaving room for the Warnings block. A file
// byte is one character of the page's text.
inline constexpr std::size_t kPaneCharacterLimit = (std::size_t{1} << 29) - (std::size_t{1} << 20);

// The echo as far as the page can show it: all of it while it stays within `keep_at_most`
// characters, otherwise its whole lines that fit and a count of the lines left out. Numbers past
// that are not formatted at all, so a file too large to show costs no more to read than it must.
class PaneHead final : public ResultsPane {
  public:
    PaneHead(std::string decimal_separator, std::size_t keep_at_most);

    void SetResultsText(std::string_view text) override;
    void AppendText(std::string_view text) override;
    // The page shows the whole text and has no caret.
    void SetSelStart(std::size_t) override {}
    void Reserve(std::size_t additional) override;
    void AppendNumber(double value) override;
    void AppendNumbers(std::span<const double> values) override;

    // The echo, or its head: whole lines ending in CR LF once anything was left out.
    const std::string& Text() const { return text_; }
    bool KeptAll() const { return !full_; }
    std::size_t Limit() const { return keep_at_most_; }
    // Lines of the echo not in Text(), the one cut short included.
    std::size_t LinesLeftOut() const;

  private:
    std::string decimal_separator_;
    std::size_t keep_at_most_;
    std::string text_;
    bool full_ = false;
    std::size_t line_ends_left_out_ = 0;  // CR LF pairs past the head
    // The echo's last two characters, kept or not.
    char before_last_ = '\0';
    char last_ = '\0';
};

}  // namespace dsf2vemo::web
