#include "web_file.h"

#include <exception>
#include <utility>

#include "page_separators.h"
#include "page_text.h"

namespace dsf2vemo::web {

std::optional<OutputFormat> FormatOfPageIndex(int index) {
    static constexpr OutputFormat kFormats[] = {OutputFormat::Vemo, OutputFormat::Json,
                                                OutputFormat::Mplus};
    if (index < 0 || index >= static_cast<int>(std::size(kFormats))) {
        return std::nullopt;
    }
    return kFormats[index];
}

std::string MplusArchiveName(std::string_view input_file_name) {
    const std::size_t dot = input_file_name.rfind('.');
    return std::string(input_file_name.substr(0, dot)) + "-mplus.zip";
}

void WebFile::Read(std::string name, std::size_t size,
                   const std::function<void(std::span<char>)>& fill, std::string_view decimal,
                   std::size_t pane_limit) {
    file_.reset();
    failure_.clear();
    try {
        std::string bytes(size, '\0');
        fill(bytes);
        file_.emplace(std::move(name), bytes, FileTextFromPage(decimal).value_or("."), pane_limit);
        failure_ = file_->Failure();
    } catch (...) {
        file_.reset();
        failure_ = PageFailureDescription(std::current_exception());
    }
}

void WebFile::Diagnose() {
    if (file_) {
        file_->Diagnose();
    }
}

std::string WebFile::WritePaneText(const BlockText::Destination& destination) const {
    if (!file_) {
        return "";
    }
    try {
        file_->WritePaneText(destination);
    } catch (...) {
        return PageFailureDescription(std::current_exception());
    }
    return "";
}

WebConversion WebFile::Convert(int format_index, std::string_view list, std::string_view decimal,
                               const BlockText::Destination& destination) {
    WebConversion conversion;
    try {
        const OutputFormat format = FormatOfPageIndex(format_index).value_or(OutputFormat::Vemo);
        if (!file_) {
            conversion.failure = "no data system file has been read successfully";
            return conversion;
        }
        conversion.output = file_->OutputName(format);
        if (format == OutputFormat::Mplus) {
            conversion.archive = MplusArchiveName(conversion.output);
        }
        PageSeparators separators = SeparatorsFromPage(list, decimal);
        if (!separators.separators) {
            conversion.failure = std::move(separators.problem);
            return conversion;
        }
        PageConversion page = file_->Convert(format, *separators.separators, destination);
        conversion.files = std::move(page.files);
        conversion.failure = std::move(page.failure);
        conversion.pane_changed = page.pane_changed;
    } catch (...) {
        conversion.files.clear();
        conversion.failure = PageFailureDescription(std::current_exception());
    }
    return conversion;
}

}  // namespace dsf2vemo::web
