#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "separators.h"

namespace dsf2vemo::web {

// "" when the page's `separator` can be written as the text data file's list (or decimal)
// separator, otherwise why not. `what` names it: "list separator" or "decimal separator".
std::string SeparatorProblem(std::string_view what, std::string_view separator);

// The page's separators as the file's single-byte text, or why one of them can't be.
struct PageSeparators {
    std::optional<Separators> separators;
    std::string problem;
};
PageSeparators SeparatorsFromPage(std::string_view list, std::string_view decimal);

}  // namespace dsf2vemo::web
