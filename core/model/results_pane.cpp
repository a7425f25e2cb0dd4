#include "results_pane.h"

#include <algorithm>
#include <new>

#include "number_format.h"

namespace dsf2vemo {

void ResultsPane::AppendNumber(double value) {
    scratch_.clear();
    AppendThreeDecimals(scratch_, ' ', value, decimal_separator_);
    AppendText(scratch_);
}

void ResultsPane::AppendNumbers(std::span<const double> values) {
    for (const double value : values) {
        AppendNumber(value);
    }
}

void TextPane::SetResultsText(std::string_view text) {
    echo_size_ = text.size();
    if (KeptAll()) {
        text_.assign(text);
    } else {
        Drop();
    }
    sel_start_ = 0;
}

void TextPane::Reserve(std::size_t additional) {
    if (additional > keep_at_most_ - std::min(keep_at_most_, text_.size())) {
        return;
    }
    try {
        text_.reserve(text_.size() + additional);
    } catch (const std::bad_alloc&) {
        // Only a hint: the text then grows as it comes.
    }
}

void TextPane::Drop() {
    std::string().swap(text_);
    sel_start_ = 0;
}

void TextPane::SetSelStart(std::size_t position) {
    sel_start_ = std::min(position, text_.size());
}

}  // namespace dsf2vemo
