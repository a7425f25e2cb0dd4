#include "replace_existing_win32.h"

#include <string>
#include <utility>

#include "conversion_error.h"
#include "message_text.h"
#include "native_file.h"
#include "path_text.h"
#include "temporary_name.h"

namespace dsf2vemo::native_file {

namespace fs = std::filesystem;

namespace {

ReplaceFileCall& CurrentCall() {
    static ReplaceFileCall call = SystemReplaceFile;
    return call;
}

bool Exists(const fs::path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A fresh name beside the target for ReplaceFileW to move the old file to, taken by an empty
// file of its own first, so that the backup never replaces anybody else's file. Removed at the
// end, unless it is the only place left where the old file is.
class BackupName {
  public:
    explicit BackupName(const fs::path& folder) {
        const auto reserve = [](const fs::path& path) {
            NativeFile file{};
            if (!CreateNew(path, file)) {
                return false;
            }
            Discard(file);
            return true;
        };
        path_ = MakeUnderFreshName(folder, reserve, RandomTemporaryName,
                                   "no backup name could be made for the old file");
    }
    ~BackupName() {
        if (!keep_) {
            DeleteFileW(path_.c_str());
        }
    }
    BackupName(const BackupName&) = delete;
    BackupName& operator=(const BackupName&) = delete;

    const fs::path& Path() const { return path_; }
    void Keep() { keep_ = true; }

  private:
    fs::path path_;
    bool keep_ = false;
};

bool Move(const fs::path& from, const fs::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

BOOL SystemReplaceFile(const wchar_t* replaced, const wchar_t* replacement, const wchar_t* backup) {
    return ReplaceFileW(replaced, replacement, backup,
                        REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                        nullptr);
}

ReplaceFileCall SetReplaceFileCall(ReplaceFileCall call) {
    return std::exchange(CurrentCall(), std::move(call));
}

void ReplaceExisting(const fs::path& replacement, const fs::path& target) {
    BackupName backup(target.parent_path());
    DWORD error = ERROR_SUCCESS;
    int tries = 0;
    // While a scanner may still hold the file: 10 tries, 0.9 s apart in all.
    while (tries < kRetries) {
        if (tries++ > 0) {
            Sleep(kRetryPauseMilliseconds);
        }
        if (CurrentCall()(target.c_str(), replacement.c_str(), backup.Path().c_str())) {
            return;
        }
        error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) {
            break;
        }
    }
    std::string failure = "the finished file could not replace the old one: " + ErrorText(error);
    if (tries > 1) {
        failure += " (tried " + std::to_string(tries) + " times in " +
                   std::to_string((tries - 1) * kRetryPauseMilliseconds) + " ms)";
    }
    // 1177: the old file is at the backup name, the new one at its own; the old one goes back.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && Move(backup.Path(), target)) {
        CannotWrite(failure);
    }
    // The target's name is free (the target went meanwhile, or the old file can't go back): the
    // new file takes it.
    if (!Exists(target)) {
        if (Move(replacement, target)) {
            return;
        }
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            backup.Keep();
            CannotWrite(failure + "; the old file could not be put back either and is kept as " +
                        Quoted(PathText(backup.Path())));
        }
    }
    CannotWrite(failure);
}

}  // namespace dsf2vemo::native_file
