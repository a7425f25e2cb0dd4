// dsf2vemo._core: the converter's core for the Python package. Only conversions between C++ and
// Python live here; the functions users call, and their argument checks, are in __init__.py.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "diagnosis.h"
#include "file_conversion.h"
#include "interrupt_cleanup.h"
#include "message_text.h"
#include "moment_table.h"
#include "output_format.h"
#include "separators.h"
#include "version.h"

namespace py = pybind11;

namespace dsf2vemo::python {

namespace {

namespace fs = std::filesystem;

// The core's texts are UTF-8, but a path in them is the file system's bytes, which on POSIX need
// not be UTF-8: they come back as the surrogates os.fsdecode() gives for them.
py::str TextOf(const std::string& text) {
    PyObject* decoded =
        PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "surrogateescape");
    if (decoded == nullptr) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::str>(decoded);
}

py::list TextsOf(const std::vector<std::string>& texts) {
    py::list list;
    for (const std::string& text : texts) {
        list.append(TextOf(text));
    }
    return list;
}

// A missing input is FileNotFoundError, as open() raises it; running out of memory MemoryError;
// every other failure DsfError, with the command line's words.
[[noreturn]] void Raise(const StepFailure& failure, const fs::path& input,
                        const std::string& input_text, const py::object& dsf_error) {
    std::error_code ec;
    const bool missing = fs::status(input, ec).type() == fs::file_type::not_found;
    if (failure.Kind() == ErrorKind::CannotOpen && missing) {
        PyErr_SetObject(PyExc_FileNotFoundError,
                        py::make_tuple(ENOENT, TextOf(failure.Reason()), TextOf(input_text)).ptr());
    } else if (failure.Kind() == ErrorKind::OutOfMemory) {
        PyErr_SetObject(PyExc_MemoryError, TextOf(failure.what()).ptr());
    } else {
        PyErr_SetObject(dsf_error.ptr(), TextOf(failure.what()).ptr());
    }
    throw py::error_already_set();
}

// Reads outside the GIL, so that other threads run meanwhile.
template <class Work>
auto WithoutGil(Work&& work) {
    const py::gil_scoped_release released;
    return work();
}

// The array hands `values` over to numpy as they are: the capsule owns them, and no element is
// copied.
py::array_t<double> ArrayOf(std::vector<double> values, std::vector<py::ssize_t> shape) {
    auto owned = std::make_unique<std::vector<double>>(std::move(values));
    const py::capsule owner(owned.get(),
                            [](void* held) { delete static_cast<std::vector<double>*>(held); });
    std::vector<double>& kept = *owned.release();
    return py::array_t<double>(std::move(shape), kept.data(), owner);
}

py::list SentencesOf(const std::vector<Finding>& findings) {
    py::list sentences;
    for (const Finding& finding : findings) {
        sentences.append(TextOf(MessageTextFromFile(finding.Sentence)));
    }
    return sentences;
}

struct ReadResult {
    MomentTable table;
    std::vector<Finding> findings;
};

py::tuple Read(const fs::path& input, const std::string& input_text, const py::object& dsf_error) {
    std::optional<ReadResult> read;
    try {
        read = WithoutGil([&] {
            FileConversion conversion(input, input_text);
            NullPane pane;
            conversion.Read(pane);
            std::vector<Finding> findings = conversion.Check({});
            return ReadResult{TableOfMoments(conversion.File()), std::move(findings)};
        });
    } catch (const StepFailure& failure) {
        Raise(failure, input, input_text, dsf_error);
    }
    MomentTable& table = read->table;
    const auto p = static_cast<py::ssize_t>(table.means.size());
    return py::make_tuple(TextOf(table.header), table.cases, TextsOf(table.names),
                          ArrayOf(std::move(table.covariances), {p, p}),
                          ArrayOf(std::move(table.means), {p}), SentencesOf(read->findings));
}

// A separator as the text data file takes it: on Windows in the ANSI code page, as the command
// line takes its options.
std::string SeparatorText(const std::string& option, const std::string& separator) {
#ifdef _WIN32
    std::optional<std::string> ansi = AnsiFromUtf8(separator);
    if (!ansi) {
        throw py::value_error(
            option + " \"" + separator + "\" holds a character that the ANSI code page (" +
            std::to_string(AnsiCodePage()) + ") of the text data file can't hold");
    }
    return std::move(*ansi);
#else
    static_cast<void>(option);
    return separator;
#endif
}

struct ConvertResult {
    WrittenFiles written;
    std::vector<Finding> findings;
};

// The locale's separators, each replaced by the one given, as the command line's options do.
py::tuple Convert(const fs::path& input, const std::string& input_text,
                  const std::optional<fs::path>& output, const std::optional<std::string>& format,
                  const std::optional<std::string>& list_separator,
                  const std::optional<std::string>& decimal_separator,
                  const py::object& dsf_error) {
    std::optional<OutputFormat> chosen;
    if (format) {
        chosen = FormatNamed(*format);
        if (!chosen) {
            throw py::value_error("format must be 'vemo', 'json' or 'mplus', not '" + *format +
                                  "'");
        }
    }
    Separators separators = GetLocaleSeparators();
    if (list_separator) {
        separators.list = SeparatorText("list_separator", *list_separator);
    }
    if (decimal_separator) {
        separators.decimal = SeparatorText("decimal_separator", *decimal_separator);
    }
    std::optional<ConvertResult> converted;
    try {
        converted = WithoutGil([&] {
            FileConversion conversion(input, input_text);
            NullPane pane;
            conversion.Read(pane);
            WrittenFiles written = conversion.Write(output, chosen, separators);
            return ConvertResult{std::move(written), conversion.Check({})};
        });
    } catch (const StepFailure& failure) {
        Raise(failure, input, input_text, dsf_error);
    }
    std::vector<std::string> notes;
    for (const std::string& note : converted->written.warnings) {
        notes.push_back(MessageTextFromFile(note));
    }
    return py::make_tuple(converted->written.paths, SentencesOf(converted->findings),
                          TextsOf(notes));
}

}  // namespace

}  // namespace dsf2vemo::python

PYBIND11_MODULE(_core, module) {
    using namespace dsf2vemo::python;
    // Python's own handlers answer Ctrl+C; a conversion completes or fails as a whole.
    dsf2vemo::LeaveInterruptsToHost();

    module.doc() = "The dsf2vemo converter's core; use the functions of the dsf2vemo package.";
    module.attr("version_text") = DSF2VEMO_VERSION_TEXT;
    // Raise() picks the error; a failure that escapes it still arrives as DsfError.
    const py::object& dsf_error =
        py::register_exception<dsf2vemo::StepFailure>(module, "DsfError", PyExc_ValueError);
    dsf_error.attr("__doc__") =
        "A data system file that can't be read or converted, in the converter's own words.";

    module.def(
        "read",
        [&dsf_error](const std::filesystem::path& input, const std::string& input_text) {
            return Read(input, input_text, dsf_error);
        },
        py::arg("input"), py::arg("input_text"));
    module.def(
        "convert",
        [&dsf_error](const std::filesystem::path& input, const std::string& input_text,
                     const std::optional<std::filesystem::path>& output,
                     const std::optional<std::string>& format,
                     const std::optional<std::string>& list_separator,
                     const std::optional<std::string>& decimal_separator) {
            return Convert(input, input_text, output, format, list_separator, decimal_separator,
                           dsf_error);
        },
        py::arg("input"), py::arg("input_text"), py::arg("output"), py::arg("format"),
        py::arg("list_separator"), py::arg("decimal_separator"));
}
