#include "results_pane.h"

#include <algorithm>

#include "number_format.h"

namespace dsf2vemo {

void ResultsPane::AppendNumber(double value) {
    scratch_.assign(1, ' ');
    AppendThreeDecimals(scratch_, value, decimal_separator_);
    AppendText(scratch_);
}

void TextPane::SetResultsText(std::string_view text) {
    text_.assign(text);
    sel_start_ = 0;
}

void TextPane::SetSelStart(std::size_t position) {
    sel_start_ = std::min(position, text_.size());
}

}  // namespace dsf2vemo
