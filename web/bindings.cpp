// What the page's worker calls: the in-memory core through PageFile, with the page's UTF-8 text
// turned into the file's single-byte text on the way in.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <optional>
#include <string>

#include "output_format.h"
#include "page_file.h"
#include "page_text.h"
#include "separators.h"

namespace dsf2vemo::web {

namespace {

using emscripten::val;

// "" when the separator can be written, otherwise why not.
std::string SeparatorProblem(const std::string& what, const std::string& separator) {
    if (FileTextFromPage(separator)) {
        return "";
    }
    return "the " + what + " \"" + separator +
           "\" holds a character that code page 1252 of the text data file can't hold";
}

std::string ListSeparatorProblem(const std::string& separator) {
    return SeparatorProblem("list separator", separator);
}

std::string DecimalSeparatorProblem(const std::string& separator) {
    return SeparatorProblem("decimal separator", separator);
}

std::string ListSeparatorFor(const std::string& decimal_separator) {
    return DefaultListSeparator(decimal_separator);
}

// The formats in the order of the page's Output choice.
OutputFormat FormatOfIndex(int index) {
    static constexpr OutputFormat kFormats[] = {OutputFormat::Vemo, OutputFormat::Json,
                                                OutputFormat::Mplus};
    return kFormats[index >= 0 && index < 3 ? index : 0];
}

// The page's file: its name and bytes, and the decimal separator the echo shows. The page checks
// its separators (the ...Problem functions) before it passes them.
class WebFile {
  public:
    // The file's bytes arrive as a Uint8Array, copied in one go: as a std::string they would be
    // copied byte by byte.
    WebFile(const std::string& name, const val& bytes, const std::string& decimal)
        : file_(name, BytesOf(bytes), FileTextFromPage(decimal).value_or(".")) {}

    bool IsRead() const { return file_.IsRead(); }
    int FindingCount() const { return static_cast<int>(file_.FindingCount()); }
    std::string Failure() const { return file_.Failure(); }
    void Diagnose() { file_.Diagnose(); }
    std::string PaneText() const { return file_.PaneText(); }

    // {files: [{name, blob}], failure, output, paneChanged}. The bytes go straight into a Blob,
    // which the page can hand over as it is, and nothing of the module's memory is held after
    // the call.
    val Convert(int format_index, const std::string& list, const std::string& decimal) {
        const OutputFormat format = FormatOfIndex(format_index);
        const std::optional<std::string> list_text = FileTextFromPage(list);
        const std::optional<std::string> decimal_text = FileTextFromPage(decimal);
        PageConversion conversion;
        if (list_text && decimal_text) {
            conversion = file_.Convert(format, {*list_text, *decimal_text});
        } else {
            conversion.failure =
                list_text ? DecimalSeparatorProblem(decimal) : ListSeparatorProblem(list);
        }
        val files = val::array();
        for (const PageOutput& output : conversion.files) {
            val file = val::object();
            file.set("name", output.name);
            const auto* data = reinterpret_cast<const unsigned char*>(output.bytes.data());
            val parts = val::array();
            parts.call<void>("push", emscripten::typed_memory_view(output.bytes.size(), data));
            file.set("blob", val::global("Blob").new_(parts));
            files.call<void>("push", file);
        }
        val result = val::object();
        result.set("files", files);
        result.set("failure", conversion.failure);
        result.set("output", file_.OutputName(format));
        result.set("paneChanged", conversion.pane_changed);
        return result;
    }

  private:
    static std::string BytesOf(const val& bytes) {
        std::string data(bytes["length"].as<std::size_t>(), '\0');
        val(emscripten::typed_memory_view(data.size(),
                                          reinterpret_cast<unsigned char*>(data.data())))
            .call<void>("set", bytes);
        return data;
    }

    PageFile file_;
};

}  // namespace

EMSCRIPTEN_BINDINGS(dsf2vemo) {
    emscripten::function("listSeparatorFor", &ListSeparatorFor);
    emscripten::function("listSeparatorProblem", &ListSeparatorProblem);
    emscripten::function("decimalSeparatorProblem", &DecimalSeparatorProblem);
    emscripten::class_<WebFile>("WebFile")
        .constructor<const std::string&, const val&, const std::string&>()
        .function("isRead", &WebFile::IsRead)
        .function("findingCount", &WebFile::FindingCount)
        .function("failure", &WebFile::Failure)
        .function("diagnose", &WebFile::Diagnose)
        .function("paneText", &WebFile::PaneText)
        .function("convert", &WebFile::Convert);
}

}  // namespace dsf2vemo::web
