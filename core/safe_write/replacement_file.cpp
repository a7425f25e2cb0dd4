#include "replacement_file.h"

#include "conversion_error.h"
#include "interrupt_cleanup.h"
#include "link_chain.h"
#include "native_file.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

ReplacementFile::ReplacementFile(const fs::path& target,
                                 const std::function<std::string()>& next_name)
    : target_(FileNamedBy(target)) {
    WatchInterrupts();
    const auto make = [this](const fs::path& path) {
        path_ = path;
        const InterruptsHeld held;
        if (!native_file::CreateNew(path_, file_)) {
            return false;
        }
        if (!AddLiveFile(path_.c_str())) {
            native_file::Discard(file_);
            RemoveFile(path_.c_str());
            CannotWrite("more than " + std::to_string(kLiveSlots) +
                        " files are being written at once");
        }
        open_ = true;
        return true;
    };
    MakeUnderFreshName(target_.parent_path(), make, next_name,
                       "no temporary file could be made in its folder");
}

ReplacementFile::~ReplacementFile() {
    if (!committed_) {
        if (open_) {
            native_file::Discard(file_);
        }
        const InterruptsHeld held;
        RemoveFile(path_.c_str());
        DropLiveFile(path_.c_str());
    }
}

void ReplacementFile::Write(std::string_view bytes) {
    native_file::WriteAll(file_, bytes);
}

// The content reaches the disk before the name points at it, and on POSIX the name after: a
// crash or power loss at any moment leaves the old file or the whole new one.
void ReplacementFile::Commit() {
    Finish();
    PutInPlace();
    FlushFolder();
}

void ReplacementFile::Finish() {
    open_ = false;
    native_file::Finish(file_, target_);
}

void ReplacementFile::PutInPlace() {
    const InterruptsHeld held;
    native_file::PutInPlace(path_, target_);
    DropLiveFile(path_.c_str());
    committed_ = true;
}

void ReplacementFile::FlushFolder() const {
    native_file::FlushFolder(target_);
}

}  // namespace dsf2vemo
