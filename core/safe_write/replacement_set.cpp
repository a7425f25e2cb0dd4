#include "replacement_set.h"

#include <string>
#include <system_error>

#include "conversion_error.h"
#include "interrupt_cleanup.h"
#include "link_chain.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

// The old file at a target, kept under a second name beside it (a hard link, or a copy where the
// file system has none) until the new files are in place; removed when no longer needed. For a
// target that is a link it is the file the link names, the one the replacement takes the place
// of: the link itself stays. The kept file is on the list of live files, so that an interrupt
// never leaves it behind, and once the new file is in place an interrupt puts it back.
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
        // A hard link where the file system has them, a copy where it has none.
        const auto keep = [this](const fs::path& kept) {
            const InterruptsHeld held;
            kept_ = kept;
            std::error_code link_failed;
            fs::create_hard_link(target_, kept_, link_failed);
            if (link_failed) {
                if (link_failed == std::errc::file_exists) {
                    return false;
                }
                std::error_code copy_failed;
                fs::copy_file(target_, kept_, fs::copy_options::none, copy_failed);
                if (copy_failed == std::errc::file_exists) {
                    return false;
                }
                if (copy_failed) {
                    CannotWrite(kCannotKeep + std::string(": ") + copy_failed.message());
                }
            }
            Register();
            return true;
        };
        MakeUnderFreshName(target_.parent_path(), keep, RandomTemporaryName, kCannotKeep);
    }

    ~OldFile() {
        const InterruptsHeld held;
        Done();
        if (!kept_.empty()) {
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

    // Called with interrupts held, once all new files are in place: nothing goes back any more.
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
    // Called with interrupts held, right after the kept file was made.
    void Register() {
        if (!AddLiveFile(kept_.c_str())) {
            RemoveFile(kept_.c_str());
            kept_.clear();
            CannotWrite("more than " + std::to_string(kLiveSlots) +
                        " files are being written at once");
        }
    }

    static constexpr const char* kCannotKeep =
        "the old file could not be kept until the new files are in place";

    fs::path target_;
    fs::path kept_;
    bool existed_ = false;
};

}  // namespace

ReplacementSet::ReplacementSet(std::span<const fs::path> targets)
    : targets_(targets.begin(), targets.end()) {
    for (const fs::path& target : targets_) {
        files_.push_back(
            ForFile(target, [&] { return std::make_unique<ReplacementFile>(target); }));
    }
}

void ReplacementSet::Commit() {
    // The last one needs no copy: once it is in place, all are, and a failure before that leaves
    // it as it was.
    std::vector<std::unique_ptr<OldFile>> old_files;
    for (std::size_t i = 0; i + 1 < targets_.size(); ++i) {
        old_files.push_back(
            ForFile(targets_[i], [&] { return std::make_unique<OldFile>(targets_[i]); }));
    }
    std::size_t committed = 0;
    try {
        for (; committed < files_.size(); ++committed) {
            // An interrupt comes before this commit or after its old file is on the list to put
            // back; after the last commit it puts nothing back.
            const InterruptsHeld held;
            ForFile(targets_[committed], [&] { files_[committed]->Commit(); });
            if (committed < old_files.size()) {
                old_files[committed]->Replaced();
            } else {
                for (const std::unique_ptr<OldFile>& old_file : old_files) {
                    old_file->Done();
                }
            }
        }
    } catch (...) {
        for (std::size_t i = 0; i < committed; ++i) {
            old_files[i]->PutBack();
        }
        throw;
    }
}

}  // namespace dsf2vemo
