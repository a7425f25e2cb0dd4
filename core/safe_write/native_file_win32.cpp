#include <windows.h>

#include <algorithm>
#include <system_error>

#include "conversion_error.h"
#include "native_file.h"
#include "replace_existing_win32.h"
#include "wide_text.h"

namespace dsf2vemo::native_file {

namespace fs = std::filesystem;

std::string ErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring wide = length > 0 ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L'.')) {
        wide.pop_back();
    }
    if (wide.empty()) {
        return "Windows error " + std::to_string(error);
    }
    return CodePageFromWide(CP_UTF8, wide);
}

namespace {

std::string LastErrorText() {
    return ErrorText(GetLastError());
}

// The attributes a user sets on a file and the replacement may take.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

// Others may delete the file while it is open: the console handler does, on its own thread, when
// the program is ended meanwhile.
bool CreateNew(const fs::path& path, NativeFile& file) {
    file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
            return false;
        }
        CannotWrite("the file can't be created in its folder: " + ErrorText(error));
    }
    return true;
}

void WriteAll(NativeFile file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            CannotWrite("writing the file failed: " + LastErrorText());
        }
        bytes.remove_prefix(written);
    }
}

void Discard(NativeFile file) {
    CloseHandle(file);
}

void Finish(NativeFile file, const fs::path& /*target*/) {
    if (!FlushFileBuffers(file)) {
        const std::string error = LastErrorText();
        CloseHandle(file);
        CannotWrite("the file could not be flushed to disk: " + error);
    }
    if (!CloseHandle(file)) {
        CannotWrite("writing the file failed: " + LastErrorText());
    }
}

// ReplaceFileW keeps the target's attributes, security and time of creation; the attributes are
// also set beforehand, for file systems (and Wine) where it doesn't. A target that isn't there is
// simply moved to.
void PutInPlace(const fs::path& replacement, const fs::path& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(replacement.c_str(), attributes & kKeptAttributes);
        ReplaceExisting(replacement, target);
        return;
    }
    if (!MoveFileExW(replacement.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        CannotWrite("the finished file could not be put in place: " + LastErrorText());
    }
}

void PutBack(const fs::path& kept, const fs::path& target) {
    ReplaceExisting(kept, target);
}

std::string WhyNotWritable(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return "the file is read-only";
    }
    return {};
}

void FlushFolder(const fs::path& /*file*/) {}

fs::file_type TypeAt(const fs::path& path) {
    std::error_code ec;
    const fs::file_type type = fs::status(path, ec).type();
    if (type != fs::file_type::not_found) {
        return type;
    }
    // Opened for no access, a device or a pipe says what it is without being touched.
    const HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return type;
    }
    const DWORD kind = GetFileType(file);
    CloseHandle(file);
    if (kind == FILE_TYPE_CHAR) {
        return fs::file_type::character;
    }
    return kind == FILE_TYPE_PIPE ? fs::file_type::fifo : type;
}

bool EqualIgnoringCase(const fs::path::string_type& a, const fs::path::string_type& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace dsf2vemo::native_file
