#pragma once

#include <cstddef>
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
    void AppendNumber(double value);

    const std::string& DecimalSeparator() const { return decimal_separator_; }

  private:
    std::string decimal_separator_;
    std::string scratch_;  // reused by AppendNumber, so echoing allocates nothing per value
};

// The pane as text in memory: what a window shows in one go, what the command line prints.
class TextPane final : public ResultsPane {
  public:
    explicit TextPane(std::string decimal_separator = ".")
        : ResultsPane(std::move(decimal_separator)) {}

    void SetResultsText(std::string_view text) override;
    void AppendText(std::string_view text) override {
        text_.append(text);
        sel_start_ = text_.size();
    }
    void SetSelStart(std::size_t position) override;

    const std::string& Text() const { return text_; }
    std::size_t SelStart() const { return sel_start_; }
    void Reserve(std::size_t additional) override { text_.reserve(text_.size() + additional); }

  private:
    std::string text_;
    std::size_t sel_start_ = 0;
};

}  // namespace dsf2vemo
