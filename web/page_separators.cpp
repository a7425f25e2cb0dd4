#include "page_separators.h"

#include "page_text.h"

namespace dsf2vemo::web {

std::string SeparatorProblem(std::string_view what, std::string_view separator) {
    if (FileTextFromPage(separator)) {
        return "";
    }
    return "the " + std::string(what) + " \"" + std::string(separator) +
           "\" holds a character that code page 1252 of the text data file can't hold";
}

PageSeparators SeparatorsFromPage(std::string_view list, std::string_view decimal) {
    const std::optional<std::string> list_text = FileTextFromPage(list);
    const std::optional<std::string> decimal_text = FileTextFromPage(decimal);
    if (!list_text) {
        return {std::nullopt, SeparatorProblem("list separator", list)};
    }
    if (!decimal_text) {
        return {std::nullopt, SeparatorProblem("decimal separator", decimal)};
    }
    return {Separators{*list_text, *decimal_text}, ""};
}

}  // namespace dsf2vemo::web
