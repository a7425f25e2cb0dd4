// What the page's worker calls: WebFile and the separator checks, with their values carried
// between JavaScript and the module. Bytes leave the module's memory as Uint8Arrays of their own,
// which the worker can hand on without copying them again.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstddef>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "page_separators.h"
#include "separators.h"
#include "warm_up.h"
#include "web_file.h"

namespace dsf2vemo::web {

namespace {

using emscripten::val;

// A copy of `bytes` out of the module's memory.
val Uint8ArrayOf(std::string_view bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    return val(emscripten::typed_memory_view(bytes.size(), data)).call<val>("slice");
}

// A destination that pushes each block onto the array `parts`.
BlockText::Destination PushOnto(val& parts) {
    return [&parts](std::string_view block) { parts.call<void>("push", Uint8ArrayOf(block)); };
}

std::string ListSeparatorFor(const std::string& decimal) {
    return DefaultListSeparator(decimal);
}

std::string ListSeparatorProblem(const std::string& separator) {
    return SeparatorProblem("list separator", separator);
}

std::string DecimalSeparatorProblem(const std::string& separator) {
    return SeparatorProblem("decimal separator", separator);
}

std::string PageOutOfMemory() {
    return std::string(kPageOutOfMemory);
}

// The file's bytes arrive as a Uint8Array, copied in one go: as a std::string they would be
// copied byte by byte.
void Read(WebFile& file, const std::string& name, const val& bytes, const std::string& decimal,
          double pane_limit) {
    const auto fill = [&bytes](std::span<char> buffer) {
        val(emscripten::typed_memory_view(buffer.size(),
                                          reinterpret_cast<unsigned char*>(buffer.data())))
            .call<void>("set", bytes);
    };
    const std::size_t limit =
        pane_limit >= 0 && pane_limit < static_cast<double>(kPaneCharacterLimit)
            ? static_cast<std::size_t>(pane_limit)
            : kPaneCharacterLimit;
    file.Read(name, bytes["length"].as<std::size_t>(), fill, decimal, limit);
}

int FindingCount(const WebFile& file) {
    return static_cast<int>(file.FindingCount());
}

// {bytes: Uint8Array, failure}: the pane's text in UTF-8. Made twice, once to count and once to
// copy: the text, as large as the file, leaves the module in one copy, not held twice on the way.
val PaneText(const WebFile& file) {
    std::size_t size = 0;
    std::string failure =
        file.WritePaneText([&size](std::string_view block) { size += block.size(); });
    val bytes = val::global("Uint8Array").new_(failure.empty() ? size : 0);
    if (failure.empty()) {
        std::size_t at = 0;
        failure = file.WritePaneText([&bytes, &at](std::string_view block) {
            const auto* data = reinterpret_cast<const unsigned char*>(block.data());
            bytes.call<void>("set", emscripten::typed_memory_view(block.size(), data), at);
            at += block.size();
        });
    }
    val result = val::object();
    result.set("bytes", failure.empty() ? bytes : val::global("Uint8Array").new_(0));
    result.set("failure", failure);
    return result;
}

// {files: [{name, parts}], failure, output, archive, paneChanged}: the parts are Uint8Arrays, a
// format of one file's block by block. The worker makes one Blob of them all: a Blob made of
// each block would cost the browser far more than copying the blocks does.
val Convert(WebFile& file, int format_index, const std::string& list, const std::string& decimal) {
    val streamed = val::array();
    WebConversion conversion = file.Convert(format_index, list, decimal, PushOnto(streamed));
    val files = val::array();
    for (const PageOutput& output : conversion.files) {
        val item = val::object();
        item.set("name", output.name);
        // A format of one file went block by block; the Mplus pair comes whole.
        if (output.bytes.empty() && conversion.files.size() == 1) {
            item.set("parts", streamed);
        } else {
            val parts = val::array();
            parts.call<void>("push", Uint8ArrayOf(output.bytes));
            item.set("parts", parts);
        }
        files.call<void>("push", item);
    }
    val result = val::object();
    result.set("files", conversion.failure.empty() ? files : val::array());
    result.set("failure", conversion.failure);
    result.set("output", conversion.output);
    result.set("archive", conversion.archive);
    result.set("paneChanged", conversion.pane_changed);
    return result;
}

// The file the worker reads and converts once as it starts.
val WarmUpFile() {
    return Uint8ArrayOf(WarmUpFileBytes());
}

// For the page's tests of running out of memory: takes all the memory the module can have but
// about `keep_free` bytes, and holds it until the worker ends.
void HoldMemoryForTests(double keep_free) {
    static std::vector<std::vector<char>> held;
    constexpr std::size_t kSmallest = std::size_t{1} << 12;
    held.reserve(1024);
    for (std::size_t block = std::size_t{1} << 28; block >= kSmallest; block /= 2) {
        while (held.size() < held.capacity()) {
            try {
                held.emplace_back().reserve(block);
            } catch (const std::bad_alloc&) {
                held.pop_back();
                break;
            }
        }
    }
    // The last blocks taken, the smallest, go back until about `keep_free` is free again.
    for (double freed = 0; freed < keep_free && !held.empty(); held.pop_back()) {
        freed += static_cast<double>(held.back().capacity());
    }
}

}  // namespace

EMSCRIPTEN_BINDINGS(dsf2vemo) {
    emscripten::function("listSeparatorFor", &ListSeparatorFor);
    emscripten::function("listSeparatorProblem", &ListSeparatorProblem);
    emscripten::function("decimalSeparatorProblem", &DecimalSeparatorProblem);
    emscripten::function("pageOutOfMemory", &PageOutOfMemory);
    emscripten::function("holdMemoryForTests", &HoldMemoryForTests);
    emscripten::function("warmUpFile", &WarmUpFile);
    emscripten::class_<WebFile>("WebFile")
        .constructor<>()
        .function("read", &Read)
        .function("isRead", &WebFile::IsRead)
        .function("failure", &WebFile::Failure)
        .function("findingCount", &FindingCount)
        .function("diagnose", &WebFile::Diagnose)
        .function("paneText", &PaneText)
        .function("convert", &Convert);
}

}  // namespace dsf2vemo::web
