#include "page_file.h"

#include <exception>
#include <new>
#include <span>
#include <string>
#include <utility>

#include "conversion_error.h"
#include "failure_description.h"
#include "mplus_pair.h"
#include "output_format.h"
#include "page_text.h"

namespace dsf2vemo::web {

namespace {

// What stands in the pane for the lines of an echo that did not fit.
std::string LeftOutLine(std::size_t lines, std::size_t limit) {
    return "... and " + std::to_string(lines) + (lines == 1 ? " more line" : " more lines") +
           ", left out here: the page shows at most " + std::to_string(limit) +
           " characters of the echo. Convert still writes every value.\r\n";
}

}  // namespace

std::string PageFailureDescription(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return std::string(kPageOutOfMemory);
    } catch (const ConversionError& error) {
        // The reader names the memory a file needs, which a desktop can spare; in a page the
        // browser's limit is what ran short, and the converter is the way out.
        if (error.Kind() == ErrorKind::OutOfMemory) {
            return std::string(kPageOutOfMemory);
        }
        return FailureDescription(std::current_exception());
    } catch (...) {
        return FailureDescription(std::current_exception());
    }
}

PageFile::PageFile(std::string name, std::string_view bytes, std::string decimal_separator,
                   std::size_t pane_limit)
    : name_(std::move(name)),
      decimal_separator_(std::move(decimal_separator)),
      echo_(decimal_separator_, pane_limit) {
    try {
        file_ =
            ParseDsfFile(std::as_bytes(std::span<const char>(bytes.data(), bytes.size())), echo_);
    } catch (...) {
        failure_ = PageFailureDescription(std::current_exception());
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
    std::string text;
    WritePaneText([&text](std::string_view piece) { text += piece; });
    return text;
}

void PageFile::WritePaneText(const BlockText::Destination& destination) const {
    // The echo, which may be large, goes in blocks and is not copied whole; the Warnings block
    // only appends to it and is made on its own.
    const std::string_view echo = echo_.Text();
    for (std::size_t at = 0; at < echo.size(); at += kBlockSize) {
        const std::string_view block = echo.substr(at, kBlockSize);
        if (IsPageTextAsItIs(block)) {
            destination(block);
        } else {
            destination(PageTextFromPane(block));
        }
    }
    if (!echo_.KeptAll()) {
        destination(LeftOutLine(echo_.LinesLeftOut(), echo_.Limit()));
    }
    TextPane warnings(decimal_separator_);
    AppendWarnings(warnings, findings_, notes_);
    destination(PageTextFromPane(warnings.Text()));
}

std::string PageFile::OutputName(OutputFormat format) const {
    return DefaultOutputName(name_, format);
}

PageConversion PageFile::Convert(OutputFormat format, const Separators& separators,
                                 const BlockText::Destination& destination) {
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
                BlockText text = destination ? BlockText(destination) : BlockText();
                SingleFileWriter(format, *file_, separators)(text);
                text.Finish();
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
        conversion.failure = PageFailureDescription(std::current_exception());
    }
    return conversion;
}

}  // namespace dsf2vemo::web
