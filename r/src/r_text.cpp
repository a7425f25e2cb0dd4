#include "r_text.h"

#include "path_text.h"

namespace dsf2vemo::r {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

}  // namespace

std::filesystem::path PathFromR(SEXP text) {
#ifdef _WIN32
    return PathFromUtf8(Utf8FromR(text));
#else
    const char* native = cpp11::safe[Rf_translateChar](STRING_ELT(text, 0));
    return std::filesystem::path(native);
#endif
}

std::string Utf8FromR(SEXP text) {
    return cpp11::safe[Rf_translateCharUTF8](STRING_ELT(text, 0));
}

bool IsNull(SEXP value) {
    return value == R_NilValue;
}

cpp11::r_string RText(std::string text) {
    for (std::size_t at = text.find('\0'); at != std::string::npos; at = text.find('\0', at)) {
        text.replace(at, 1, kReplacementCharacter);
        at += kReplacementCharacter.size();
    }
    return cpp11::r_string(text);
}

cpp11::writable::strings RTexts(const std::vector<std::string>& texts) {
    cpp11::writable::strings strings(static_cast<R_xlen_t>(texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        strings[static_cast<R_xlen_t>(i)] = RText(texts[i]);
    }
    return strings;
}

cpp11::r_string RPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return cpp11::r_string(PathText(path));
#else
    return cpp11::r_string(cpp11::safe[Rf_mkCharCE](path.c_str(), CE_NATIVE));
#endif
}

}  // namespace dsf2vemo::r
