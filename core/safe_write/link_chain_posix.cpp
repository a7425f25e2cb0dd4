#include <string>
#include <system_error>

#include "conversion_error.h"
#include "link_chain.h"
#include "path_text.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

// Links followed from the target before giving up, as many as Linux follows in one path: a
// longer chain is almost certainly a loop.
constexpr int kMaxLinks = 40;

}  // namespace

// The file a chain of symbolic links at `path` ends in, whether it exists or not. A relative
// link is taken from the link's own folder, as the system does.
fs::path FileNamedBy(fs::path path) {
    for (int links = 0;; ++links) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) {
            return path;
        }
        if (links == kMaxLinks) {
            CannotWrite("the name leads through more than " + std::to_string(kMaxLinks) +
                        " symbolic links, which is taken for a loop");
        }
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) {
            CannotWrite("the symbolic link " + PathText(path) + " can't be read: " + ec.message());
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
}

}  // namespace dsf2vemo
