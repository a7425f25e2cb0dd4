#include "replacement_set.h"

#include <exception>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "conversion_error.h"
#include "failure_description.h"
#include "interrupt_cleanup.h"
#include "link_chain.h"
#include "message_text.h"
#include "native_file.h"
#include "path_text.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCannotKeep =
    "the old file could not be kept until the new files are in place";

// The old file at a target, kept under a second name beside it until the new files are in place
// and flushed: a hard link, or a copy where the file system has none (FAT, some network shares).
// For a target that is a link it is the file the link names, the one the replacement takes the
// place of: the link itself stays. The kept file is on the list of live files from the start, so
// that an interrupt removes it while the target still holds the old file. Once the new file is in
// place the kept file is the only copy of the old one: an interrupt puts it back, and it is
// removed only once every new file is in place for good. One that can't be put back stays.
class OldFile {
  public:
    explicit OldFile(const fs::path& target) : target_(FileNamedBy(target)) {
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(target_, ec);
        existed_ = fs::exists(status);
        if (!fs::is_regular_file(status)) {
            // Nothing there, or something no replacement can take the place of (a folder):
            // there is nothing to put back.
            return;
        }
        WatchInterrupts();
        MakeUnderFreshName(
            target_.parent_path(), [this](const fs::path& kept) { return Keep(kept); },
            RandomTemporaryName, kCannotKeep);
    }

    ~OldFile() {
        const InterruptsHeld held;
        DropLiveFile(target_.c_str());
        if (!kept_.empty()) {
            DropKeptFile(kept_.c_str());
            if (!only_copy_) {
                RemoveFile(kept_.c_str());
            }
            DropLiveFile(kept_.c_str());
        }
    }

    OldFile(const OldFile&) = delete;
    OldFile& operator=(const OldFile&) = delete;

    // Called with interrupts held, right after the new file took the target's place: from then
    // on an interrupt puts the old file back, or removes the new one where there was none.
    // Without a free slot for that, the kept file leaves the list: it must not be removed.
    void Replaced() {
        if (!kept_.empty()) {
            only_copy_ = true;
            if (!AddKeptFile(kept_.c_str(), target_.c_str())) {
                DropLiveFile(kept_.c_str());
            }
        } else if (!existed_) {
            AddLiveFile(target_.c_str());
        }
    }

    // Called with interrupts held, once all new files are in place and flushed: nothing goes
    // back any more, and the kept file may go.
    void Done() {
        DropKeptFile(kept_.c_str());
        DropLiveFile(target_.c_str());
        only_copy_ = false;
    }

    // The target as it was before; a target that wasn't there goes again. Where the old file
    // can't be put back, it stays under its kept name, and the words returned say which.
    std::string PutBack() {
        if (kept_.empty()) {
            if (!existed_) {
                const InterruptsHeld held;
                std::error_code ec;
                fs::remove(target_, ec);
                DropLiveFile(target_.c_str());
            }
            return {};
        }
        try {
            const InterruptsHeld held;
            native_file::PutBack(kept_, target_);
            DropKeptFile(kept_.c_str());
            DropLiveFile(kept_.c_str());
            kept_.clear();
            return {};
        } catch (...) {
            // Told below.
        }
        const InterruptsHeld held;
        DropKeptFile(kept_.c_str());
        DropLiveFile(kept_.c_str());
        return "the old " + Quoted(PathText(target_.filename())) +
               " could not be put back and is kept beside it as " +
               Quoted(PathText(kept_.filename()));
    }

  private:
    // Keeps the old file at `kept`; false where that name is taken.
    bool Keep(const fs::path& kept) {
        NativeFile copy{};
        {
            const InterruptsHeld held;
            if (can_link_) {
                std::error_code failed;
                fs::create_hard_link(target_, kept, failed);
                if (failed == std::errc::file_exists) {
                    return false;
                }
                if (!failed) {
                    Register(kept);
                    return true;
                }
                can_link_ = false;
            }
            if (!native_file::CreateNew(kept, copy)) {
                return false;
            }
            try {
                Register(kept);
            } catch (...) {
                native_file::Discard(copy);
                throw;
            }
        }
        try {
            CopyInto(copy);
        } catch (...) {
            const InterruptsHeld held;
            RemoveFile(kept_.c_str());
            DropLiveFile(kept_.c_str());
            kept_.clear();
            throw;
        }
        return true;
    }

    // Called with interrupts held, right after the kept file was made.
    void Register(const fs::path& kept) {
        kept_ = kept;
        if (!AddLiveFile(kept_.c_str())) {
            RemoveFile(kept_.c_str());
            kept_.clear();
            CannotWrite("more than " + std::to_string(kLiveSlots) +
                        " files are being written at once");
        }
    }

    // The old file's bytes, and what was set on it, flushed to disk like any replacement.
    void CopyInto(NativeFile copy) const {
        try {
            std::ifstream old(target_, std::ios::binary);
            std::vector<char> block(std::size_t{1} << 20);
            while (old.read(block.data(), static_cast<std::streamsize>(block.size())) ||
                   old.gcount() > 0) {
                native_file::WriteAll(
                    copy, std::string_view(block.data(), static_cast<std::size_t>(old.gcount())));
            }
            if (!old.eof()) {
                CannotWrite(kCannotKeep + std::string(": it could not be read"));
            }
        } catch (...) {
            native_file::Discard(copy);
            throw;
        }
        native_file::Finish(copy, target_);
    }

    fs::path target_;
    // On the list of live files while it exists, so it never changes meanwhile; empty where
    // nothing is kept.
    fs::path kept_;
    bool existed_ = false;
    bool can_link_ = true;
    // The new file has the target's name: kept_ is the last copy of the old one.
    bool only_copy_ = false;
};

// Called with interrupts held, once all new files are in place for good.
void DropAll(const std::vector<std::unique_ptr<OldFile>>& old_files) {
    for (const std::unique_ptr<OldFile>& old_file : old_files) {
        old_file->Done();
    }
}

// `failure` again, with `note` (what was left where) after its description.
[[noreturn]] void RethrowWithNote(const std::exception_ptr& failure, const std::string& note) {
    try {
        std::rethrow_exception(failure);
    } catch (const ConversionError& error) {
        ConversionError noted(error.Kind(), error.what() + note);
        noted.ConcernsFile(error.File());
        throw noted;
    } catch (...) {
        CannotWrite(FailureDescription(std::current_exception()) + note);
    }
}

}  // namespace

ReplacementSet::ReplacementSet(std::span<const fs::path> targets)
    : targets_(targets.begin(), targets.end()) {
    for (const fs::path& target : targets_) {
        files_.push_back(
            ForFile(target, [&] { return std::make_unique<ReplacementFile>(target); }));
    }
}

// Nothing is kept from the old files until every new file is in place and flushed: a failure or
// an interrupt before that, the flush of a folder included, puts back every file replaced.
void ReplacementSet::Commit() {
    // The last one needs no kept file where nothing can fail after it is in place (Windows writes
    // the move through): once it is, all are. There a kept link could not even be removed while
    // someone holds the target open.
    std::vector<std::unique_ptr<OldFile>> old_files;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        if (i + 1 < targets_.size() || native_file::kFlushesFolders) {
            old_files.push_back(
                ForFile(targets_[i], [&] { return std::make_unique<OldFile>(targets_[i]); }));
        }
    }
    for (std::size_t i = 0; i < files_.size(); ++i) {
        ForFile(targets_[i], [&] { files_[i]->Finish(); });
    }
    std::size_t replaced = 0;
    try {
        for (; replaced < files_.size(); ++replaced) {
            // An interrupt comes before this file is in place or after its old file is on the
            // list to put back.
            const InterruptsHeld held;
            ForFile(targets_[replaced], [&] { files_[replaced]->PutInPlace(); });
            if (replaced < old_files.size()) {
                old_files[replaced]->Replaced();
            } else {
                // The last, with no kept file: nothing goes back any more.
                DropAll(old_files);
            }
        }
        for (std::size_t i = 0; i < files_.size(); ++i) {
            ForFile(targets_[i], [&] { files_[i]->FlushFolder(); });
        }
    } catch (...) {
        std::string left;
        for (std::size_t i = 0; i < replaced && i < old_files.size(); ++i) {
            if (const std::string note = old_files[i]->PutBack(); !note.empty()) {
                left += "; " + note;
            }
        }
        if (left.empty()) {
            throw;
        }
        RethrowWithNote(std::current_exception(), left);
    }
    const InterruptsHeld held;
    DropAll(old_files);
}

}  // namespace dsf2vemo
