#include "output_target.h"

#include <algorithm>
#include <system_error>

#include "ascii_text.h"
#include "conversion_error.h"
#include "message_text.h"
#include "path_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

bool EqualIgnoringCase(const fs::path::string_type& a, const fs::path::string_type& b) {
#ifdef _WIN32
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
#else
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
#endif
}

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

// The type of what is at `path`, links followed to the end of their chain.
fs::file_type TypeAt(const fs::path& path) {
    std::error_code ec;
    const fs::file_type type = fs::status(path, ec).type();
#ifdef _WIN32
    // Devices (NUL, COM1) and pipes have no status the library reads; opened for no access, the
    // system says what they are without touching them.
    if (type == fs::file_type::not_found) {
        const HANDLE file =
            CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            const DWORD kind = GetFileType(file);
            CloseHandle(file);
            if (kind == FILE_TYPE_CHAR) {
                return fs::file_type::character;
            }
            if (kind == FILE_TYPE_PIPE) {
                return fs::file_type::fifo;
            }
        }
    }
#endif
    return type;
}

}  // namespace

void CheckOutputTarget(const fs::path& path) {
    const fs::file_type type = TypeAt(path);
    if (fs::exists(fs::file_status(type)) && type != fs::file_type::regular) {
        CannotWrite("it is " + NotAFile(type) + ", not a file");
    }
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        CannotWrite("the file is read-only");
    }
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
    const auto normal = [](const fs::path& path) {
        std::error_code absolute_failed;
        const fs::path absolute = fs::absolute(path, absolute_failed);
        return (absolute_failed ? path : absolute).lexically_normal();
    };
    return EqualIgnoringCase(normal(input).native(), normal(output).native());
}

}  // namespace dsf2vemo
