#include <windows.h>
#include <winioctl.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "conversion_error.h"
#include "link_chain.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

// Links followed from the target before giving up, as many as Linux follows in one path: a
// longer chain is almost certainly a loop.
constexpr int kMaxLinks = 40;

class UniqueHandle {
  public:
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

UniqueHandle OpenAny(const fs::path& path, DWORD flags) {
    return UniqueHandle(CreateFileW(path.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

// The name of an open file with every link and junction on its way resolved, in the usual form
// ("C:\...", "\\server\..."); empty where the system gives no such name.
fs::path FinalPath(HANDLE file) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return {};
        }
        const bool fits = length < name.size();
        name.resize(length);
        if (fits) {
            break;
        }
    }
    if (name.starts_with(L"\\\\?\\UNC\\")) {
        return L"\\\\" + name.substr(8);
    }
    if (name.starts_with(L"\\\\?\\")) {
        return name.substr(4);
    }
    return name;
}

// What the symbolic link or junction at `path` points to; empty when `path` is neither. The
// reparse data are decoded field by field: symbolic links carry a flags word before their names.
fs::path LinkTarget(const fs::path& path) {
    const UniqueHandle link = OpenAny(path, FILE_FLAG_OPEN_REPARSE_POINT);
    if (!link.Valid()) {
        return {};
    }
    std::vector<unsigned char> data(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD size = 0;
    if (!DeviceIoControl(link.Get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(),
                         static_cast<DWORD>(data.size()), &size, nullptr)) {
        return {};
    }
    const auto field = [&](std::size_t offset, std::size_t bytes) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < bytes && offset + i < size; ++i) {
            value |= static_cast<std::uint32_t>(data[offset + i]) << (8 * i);
        }
        return value;
    };
    const std::uint32_t tag = field(0, 4);
    if (tag != IO_REPARSE_TAG_SYMLINK && tag != IO_REPARSE_TAG_MOUNT_POINT) {
        return {};
    }
    const std::size_t names = tag == IO_REPARSE_TAG_SYMLINK ? 20 : 16;
    const auto name = [&](std::size_t field_offset) {
        const std::size_t offset = names + field(field_offset, 2);
        const std::size_t bytes = field(field_offset + 2, 2);
        if (offset + bytes > size) {
            return std::wstring();
        }
        std::wstring text(bytes / 2, L'\0');
        std::memcpy(text.data(), data.data() + offset, text.size() * 2);
        return text;
    };
    std::wstring target = name(12);  // the print name, as the user gave it
    if (target.empty()) {
        target = name(8);  // the substitute name, "\??\C:\..."
        if (target.starts_with(L"\\??\\")) {
            target.replace(0, 4, L"\\\\?\\");
        }
    }
    const bool relative = tag == IO_REPARSE_TAG_SYMLINK && (field(16, 4) & 1) != 0;
    return relative ? path.parent_path() / target : fs::path(target);
}

}  // namespace

// The file a chain of links at `path` ends in. An existing file is named by the system; a
// dangling link is followed by hand to the name it gives.
fs::path FileNamedBy(fs::path path) {
    for (int links = 0;; ++links) {
        const UniqueHandle file = OpenAny(path, 0);
        if (file.Valid()) {
            fs::path final_path = FinalPath(file.Get());
            return final_path.empty() ? path : final_path;
        }
        fs::path next = LinkTarget(path);
        if (next.empty()) {
            return path;
        }
        if (links == kMaxLinks) {
            CannotWrite("the name leads through more than " + std::to_string(kMaxLinks) +
                        " links, which is taken for a loop");
        }
        path = std::move(next);
    }
}

}  // namespace dsf2vemo
