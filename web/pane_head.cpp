#include "pane_head.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>

#include "number_format.h"

namespace dsf2vemo::web {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// CR LF pairs in `text`, the one that begins with the character before it included.
std::size_t LineEnds(char before, std::string_view text) {
    std::size_t count = before == '\r' && text.starts_with('\n') ? 1 : 0;
    for (std::size_t at = text.find(kLineEnd); at != std::string_view::npos;
         at = text.find(kLineEnd, at + kLineEnd.size())) {
        ++count;
    }
    return count;
}

}  // namespace

PaneHead::PaneHead(std::string decimal_separator, std::size_t keep_at_most)
    : ResultsPane(decimal_separator),
      decimal_separator_(std::move(decimal_separator)),
      keep_at_most_(keep_at_most) {}

void PaneHead::SetResultsText(std::string_view text) {
    text_.clear();
    full_ = false;
    line_ends_left_out_ = 0;
    before_last_ = last_ = '\0';
    AppendText(text);
}

void PaneHead::AppendText(std::string_view text) {
    if (text.empty()) {
        return;
    }
    if (full_) {
        line_ends_left_out_ += LineEnds(last_, text);
    } else if (text.size() <= keep_at_most_ - text_.size()) {
        text_.append(text);
    } else {
        // The head ends at the last line end that fits; what follows it is counted.
        const std::size_t fits = keep_at_most_ - text_.size();
        text_.append(text.substr(0, fits));
        const std::size_t line_end = text_.rfind(kLineEnd);
        const std::size_t head = line_end == std::string::npos ? 0 : line_end + kLineEnd.size();
        line_ends_left_out_ = LineEnds('\0', text_.substr(head) + std::string(text.substr(fits)));
        text_.resize(head);
        text_.shrink_to_fit();
        full_ = true;
    }
    before_last_ = text.size() > 1 ? text[text.size() - 2] : last_;
    last_ = text.back();
}

void PaneHead::Reserve(std::size_t additional) {
    if (full_) {
        return;
    }
    try {
        text_.reserve(text_.size() + std::min(additional, keep_at_most_ - text_.size()));
    } catch (const std::bad_alloc&) {
        // Only a hint: the text then grows as it comes.
    }
}

void PaneHead::AppendNumber(double value) {
    if (full_) {
        // A number's text holds no line end: nothing to format.
        before_last_ = last_ = '0';
        return;
    }
    // Formatted straight into the text, which is most of the echo's time; a number that would
    // pass the limit takes the road of any other text.
    const std::size_t start = text_.size();
    AppendThreeDecimals(text_, ' ', value, decimal_separator_);
    if (text_.size() > keep_at_most_) {
        const std::string number = text_.substr(start);
        text_.resize(start);
        AppendText(number);
        return;
    }
    before_last_ = text_[text_.size() - 2];
    last_ = text_.back();
}

void PaneHead::AppendNumbers(std::span<const double> values) {
    // Gathered on the stack and appended a few kilobytes at a time: in WebAssembly each append
    // is a call into the string's code, a good part of the echo's time when made for each number.
    std::array<char, 4096> chunk;
    const std::size_t room = ThreeDecimalsRoom(decimal_separator_);
    if (room > chunk.size()) {
        ResultsPane::AppendNumbers(values);
        return;
    }
    char* at = chunk.data();
    for (const double value : values) {
        if (full_) {
            // A number's text holds no line end: nothing to format.
            before_last_ = last_ = '0';
            return;
        }
        at = WriteThreeDecimals(at, ' ', value, decimal_separator_);
        if (static_cast<std::size_t>(chunk.data() + chunk.size() - at) < room) {
            AppendText({chunk.data(), static_cast<std::size_t>(at - chunk.data())});
            at = chunk.data();
        }
    }
    AppendText({chunk.data(), static_cast<std::size_t>(at - chunk.data())});
}

std::size_t PaneHead::LinesLeftOut() const {
    if (!full_) {
        return 0;
    }
    // Each line end past the head closes a line left out; text after the last one is one more.
    const bool ends_in_line_end = before_last_ == '\r' && last_ == '\n';
    return line_ends_left_out_ + (ends_in_line_end ? 0 : 1);
}

}  // namespace dsf2vemo::web
