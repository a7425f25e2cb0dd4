#include "folder_tree.h"

#include <algorithm>

#include "dsf_builder.h"

namespace dsf2vemo::testing {

namespace fs = std::filesystem;

std::vector<std::string> FolderTree(const fs::path& folder) {
    std::vector<std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).generic_string();
        if (entry.is_symlink()) {
            entries.push_back(name + " -> " + fs::read_symlink(entry.path()).generic_string());
        } else if (entry.is_directory()) {
            entries.push_back(name + "/");
        } else {
            entries.push_back(name + ": " + ReadFileText(entry.path()));
        }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::vector<std::string> FolderFirstLines(const fs::path& folder) {
    std::vector<std::string> lines;
    for (const std::string& entry : FolderTree(folder)) {
        const std::string line = entry.substr(0, entry.find('\r'));
        lines.push_back(line.starts_with("dsf2vemo-") ? "*" + line.substr(line.find(".tmp"))
                                                      : line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace dsf2vemo::testing
