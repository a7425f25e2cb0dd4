#pragma once

#include <cstddef>
#include <limits>
#include <span>
#include <string>
#include <string_view>

namespace dsf2vemo {

// Where the reader echoes what it finds. Text is raw single-byte text in the file's code page.
class ResultsPane {
  public:
    explicit ResultsPane(std::string decimal_separator)
        : decimal_separator_(std::move(decimal_separator)) {}
    virtual ~ResultsPane() = default;
    ResultsPane(const ResultsPane&) = delete;
    ResultsPane& operator=(const ResultsPane&) = delete;

    // Replaces the whole text.
    virtual void SetResultsText(std::string_view text) = 0;
    // Appends at the end of the text, whatever its length.
    virtual void AppendText(std::string_view text) = 0;
    // Puts the caret at a character offset from 0, clamped to the end of the text.
    virtual void SetSelStart(std::size_t position) = 0;

    // A hint that about this many more characters will follow.
    virtual void Reserve(std::size_t /*additional*/) {}

    void AppendNewLine() { AppendText("\r\n"); }
    // A space, then the value with three decimals and no leading zero (" .300").
    virtual void AppendNumber(double value);
    // AppendNumber for each of `values`, which a pane may write faster all together.
    virtual void AppendNumbers(std::span<const double> values);

  private:
    std::string decimal_separator_;
    std::string scratch_;  // reused by AppendNumber, so echoing allocates nothing per value
};

// The pane as text in memory: what a window shows in one go, what the command line prints.
// Past `keep_at_most` characters (what a window can show) it drops its text and only counts, so
// that an echo too large to show never fails the read.
class TextPane final : public ResultsPane {
  public:
    explicit TextPane(std::string decimal_separator = ".",
                      std::size_t keep_at_most = std::numeric_limits<std::size_t>::max())
        : ResultsPane(std::move(decimal_separator)), keep_at_most_(keep_at_most) {}

    void SetResultsText(std::string_view text) override;
    void AppendText(std::string_view text) override {
        echo_size_ += text.size();
        if (echo_size_ <= keep_at_most_) {
            text_.append(text);
            sel_start_ = text_.size();
        } else {
            Drop();
        }
    }
    void SetSelStart(std::size_t position) override;
    void Reserve(std::size_t additional) override;

    // The whole echo, or nothing once it has grown past what the pane keeps.
    const std::string& Text() const { return text_; }
    std::size_t SelStart() const { return sel_start_; }
    bool KeptAll() const { return echo_size_ <= keep_at_most_; }
    // Characters echoed, kept or not.
    std::size_t EchoSize() const { return echo_size_; }

  private:
    void Drop();

    std::size_t keep_at_most_;
    std::size_t echo_size_ = 0;
    std::string text_;
    std::size_t sel_start_ = 0;
};

// A pane that keeps nothing and formats nothing: for reading when nobody looks at the echo.
class NullPane final : public ResultsPane {
  public:
    NullPane() : ResultsPane(".") {}

    void SetResultsText(std::string_view) override {}
    void AppendText(std::string_view) override {}
    void SetSelStart(std::size_t) override {}
    void AppendNumber(double) override {}
    void AppendNumbers(std::span<const double>) override {}
};

}  // namespace dsf2vemo
