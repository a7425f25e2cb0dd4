#include "output_target.h"

#include <system_error>

#include "conversion_error.h"
#include "link_chain.h"
#include "message_text.h"
#include "native_file.h"
#include "path_text.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

// What an existing target that is no regular file is. A new file must never take the place of a
// pipe, a socket or a device: whoever uses it would lose it (as root, `/dev/null` the system).
std::string NotAFile(fs::file_type type) {
    switch (type) {
        case fs::file_type::directory:
            return "a folder";
        case fs::file_type::fifo:
            return "a named pipe (FIFO)";
        case fs::file_type::socket:
            return "a socket";
        case fs::file_type::character:
        case fs::file_type::block:
            return "a device";
        default:
            return "a special file of an unknown kind";
    }
}

}  // namespace

void CheckOutputTarget(const fs::path& path) {
    const fs::file_type type = native_file::TypeAt(path);
    if (fs::exists(fs::file_status(type)) && type != fs::file_type::regular) {
        CannotWrite("it is " + NotAFile(type) + ", not a file");
    }
    if (const std::string why = native_file::WhyNotWritable(FileNamedBy(path)); !why.empty()) {
        CannotWrite(why);
    }
    std::error_code ec;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec)) {
        CannotWrite("the folder " + Quoted(PathText(folder)) + " does not exist");
    }
}

bool IsSameFile(const fs::path& input, const fs::path& output) {
    // fs::equivalent answers only where both exist; for one missing it says "no" unasked.
    std::error_code ec;
    if (fs::exists(input, ec) && fs::exists(output, ec)) {
        const bool same = fs::equivalent(input, output, ec);
        if (!ec) {
            return same;
        }
    }
    // Dangling links are compared by the names they finally lead to.
    const auto normal = [](const fs::path& path) {
        const fs::path named = FileNamedBy(path);
        std::error_code absolute_failed;
        const fs::path absolute = fs::absolute(named, absolute_failed);
        return (absolute_failed ? named : absolute).lexically_normal();
    };
    return native_file::EqualIgnoringCase(normal(input).native(), normal(output).native());
}

}  // namespace dsf2vemo
