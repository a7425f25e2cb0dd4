#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace dsf2vemo {

// Past this much text a block is handed on: about a megabyte.
inline constexpr std::size_t kBlockSize = std::size_t{1} << 20;

// The text a writer appends, line by line. Without a destination it keeps all of it; with one,
// it hands the text on whenever a line ends past kBlockSize, so that a large file is never held
// whole in memory, and the rest at Finish.
class BlockText {
  public:
    using Destination = std::function<void(std::string_view)>;

    BlockText() = default;
    explicit BlockText(Destination destination) : destination_(std::move(destination)) {
        text_.reserve(2 * kBlockSize);
    }

    std::string& Text() { return text_; }

    void LineDone() {
        if (destination_ && text_.size() >= kBlockSize) {
            HandOn();
        }
    }

    void Finish() {
        if (destination_) {
            HandOn();
        }
    }

    // All of the text, for a BlockText without a destination.
    std::string Take() { return std::move(text_); }

  private:
    void HandOn() {
        destination_(text_);
        text_.clear();
    }

    Destination destination_;
    std::string text_;
};

// What appends one file's bytes to a BlockText.
using FileText = std::function<void(BlockText&)>;

}  // namespace dsf2vemo
