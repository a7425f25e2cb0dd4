#include "page_file.h"

#include <exception>
#include <span>
#include <utility>

#include "failure_description.h"
#include "mplus_pair.h"
#include "output_format.h"
#include "page_text.h"

namespace dsf2vemo::web {

PageFile::PageFile(std::string name, std::string_view bytes, std::string decimal_separator)
    : name_(std::move(name)),
      decimal_separator_(std::move(decimal_separator)),
      echo_(decimal_separator_) {
    try {
        file_ =
            ParseDsfFile(std::as_bytes(std::span<const char>(bytes.data(), bytes.size())), echo_);
    } catch (...) {
        failure_ = FailureDescription(std::current_exception());
    }
}

void PageFile::Diagnose() {
    if (!file_) {
        return;
    }
    try {
        findings_ = dsf2vemo::Diagnose(*file_, {decimal_separator_});
    } catch (...) {
        // The warnings are advice: a file read successfully stays convertible without them.
    }
}

std::string PageFile::PaneText() const {
    // The Warnings block only appends to the echo: it is made on its own, and the echo, which
    // may be large, is not copied for it.
    TextPane warnings(decimal_separator_);
    AppendWarnings(warnings, findings_, notes_);
    std::string text = PageTextFromPane(echo_.Text());
    text += PageTextFromPane(warnings.Text());
    return text;
}

std::string PageFile::OutputName(OutputFormat format) const {
    return DefaultOutputName(name_, format);
}

PageConversion PageFile::Convert(OutputFormat format, const Separators& separators) {
    PageConversion conversion;
    if (!file_) {
        conversion.failure = "no data system file has been read successfully";
        return conversion;
    }
    const std::string output = OutputName(format);
    try {
        switch (format) {
            case OutputFormat::Vemo:
            case OutputFormat::Json: {
                BlockText text;
                SingleFileWriter(format, *file_, separators)(text);
                conversion.files.push_back({output, text.Take()});
                break;
            }
            case OutputFormat::Mplus: {
                const std::string data_name = MplusDataPath(output).filename().string();
                MplusFiles mplus = FormatMplus(
                    *file_, DataFileNameText(data_name, {"code page 1252", FileTextFromPage}));
                conversion.files.push_back({output, std::move(mplus.input)});
                conversion.files.push_back({data_name, std::move(mplus.data)});
                // As in the window, the pane changes only when a conversion has something to say.
                const std::string sentence = RenamingSentence(mplus.renamings);
                if (!sentence.empty()) {
                    notes_ = {sentence};
                    conversion.pane_changed = true;
                }
                break;
            }
        }
    } catch (...) {
        conversion.files.clear();
        conversion.failure = FailureDescription(std::current_exception());
    }
    return conversion;
}

}  // namespace dsf2vemo::web
