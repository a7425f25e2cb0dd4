#include "replacement_set.h"

#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "conversion_error.h"
#include "interrupt_cleanup.h"
#include "link_chain.h"
#include "native_file.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

// The old file at a target, kept under a second name beside it until the new files are in place
// and flushed; removed when no longer needed. For a target that is a link it is the file the link
// names, the one the replacement takes the place of: the link itself stays. The kept file is on
// the list of live files, so that an interrupt never leaves it behind, and once the new file is
// in place an interrupt puts it back.
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
        bool linked = true;
        const auto link = [&](const fs::path& kept) {
            const InterruptsHeld held;
            std::error_code failed;
            fs::create_hard_link(target_, kept, failed);
            if (failed == std::errc::file_exists) {
                return false;
            }
            linked = !failed;
            if (linked) {
                kept_ = kept;
                Register();
            }
            return true;
        };
        MakeUnderFreshName(target_.parent_path(), link, RandomTemporaryName, kCannotKeep);
        if (!linked) {
            KeepCopy();
        }
    }

    // A copy removes itself.
    ~OldFile() {
        const InterruptsHeld held;
        Done();
        if (!kept_.empty() && !copy_) {
            RemoveFile(kept_.c_str());
            DropLiveFile(kept_.c_str());
        }
    }

    OldFile(const OldFile&) = delete;
    OldFile& operator=(const OldFile&) = delete;

    // Called with interrupts held, right after the new file took the target's place: from then
    // on an interrupt puts the old file back, or removes the new one where there was none.
    // Without a free slot the new file stays, as it would without a list.
    void Replaced() {
        if (!kept_.empty()) {
            AddKeptFile(kept_.c_str(), target_.c_str());
        } else if (!existed_) {
            AddLiveFile(target_.c_str());
        }
    }

    // Called with interrupts held, once all new files are in place and flushed: nothing goes
    // back any more.
    void Done() {
        DropKeptFile(kept_.c_str());
        DropLiveFile(target_.c_str());
    }

    // The target as it was before; a target that wasn't there goes again. Best effort: the
    // failure that made this necessary is what gets reported.
    void PutBack() noexcept {
        const InterruptsHeld held;
        std::error_code ec;
        if (!kept_.empty()) {
            fs::rename(kept_, target_, ec);
            if (!ec) {
                Done();
                DropLiveFile(kept_.c_str());
                kept_.clear();
            }
        } else if (!existed_) {
            fs::remove(target_, ec);
            Done();
        }
    }

  private:
    // Called with interrupts held, right after the kept link was made.
    void Register() {
        if (!AddLiveFile(kept_.c_str())) {
            RemoveFile(kept_.c_str());
            kept_.clear();
            CannotWrite("more than " + std::to_string(kLiveSlots) +
                        " files are being written at once");
        }
    }

    // Where the file system has no hard links (FAT, some network shares): a copy, made as a
    // replacement file of the target's own, which a failure or an interrupt part-way removes
    // like any other. Put back, it takes the target's place by the name kept_.
    void KeepCopy() {
        copy_ = std::make_unique<ReplacementFile>(target_);
        std::ifstream old(target_, std::ios::binary);
        std::vector<char> block(std::size_t{1} << 20);
        while (old.read(block.data(), static_cast<std::streamsize>(block.size())) ||
               old.gcount() > 0) {
            copy_->Write(std::string_view(block.data(), static_cast<std::size_t>(old.gcount())));
        }
        if (!old.eof()) {
            CannotWrite(kCannotKeep + std::string(": it could not be read"));
        }
        copy_->Finish();
        kept_ = copy_->TemporaryPath();
    }

    static constexpr const char* kCannotKeep =
        "the old file could not be kept until the new files are in place";

    fs::path target_;
    fs::path kept_;
    std::unique_ptr<ReplacementFile> copy_;
    bool existed_ = false;
};

// Called with interrupts held, once all new files are in place for good.
void DropAll(const std::vector<std::unique_ptr<OldFile>>& old_files) {
    for (const std::unique_ptr<OldFile>& old_file : old_files) {
        old_file->Done();
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
        for (std::size_t i = 0; i < replaced && i < old_files.size(); ++i) {
            old_files[i]->PutBack();
        }
        throw;
    }
    const InterruptsHeld held;
    DropAll(old_files);
}

}  // namespace dsf2vemo
