#include "output_path.h"

#include <string>
#include <system_error>

#include "conversion_error.h"
#include "path_divide.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

// Only a path with no root folder ("study.dsf", "C:study.dsf") is completed; one that has it
// stays as it is, whether it names a drive, a share (\\server\share) or neither.
fs::path Absolute(const fs::path& path) {
    if (path.has_root_directory()) {
        return path;
    }
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (ec) {
        throw ConversionError(ErrorKind::CannotOpen,
                              "the current folder can't be found: " + ec.message());
    }
    return absolute;
}

}  // namespace

fs::path DefaultOutputPath(const fs::path& input, std::string_view extension) {
    using Char = fs::path::value_type;
    fs::path full = Absolute(input);
    full.make_preferred();
    BasicPathDivide<Char> divide(static_cast<Char>(fs::path::preferred_separator));
    divide.Init(full.native());
    fs::path output(divide.Directory() + fs::path::preferred_separator + divide.NameOnly());
    output += extension;
    return output;
}

std::string DefaultOutputName(std::string_view input_name, std::string_view extension) {
    BasicPathDivide<char> divide('/');
    divide.Init(input_name);
    return divide.NameOnly() + std::string(extension);
}

}  // namespace dsf2vemo
