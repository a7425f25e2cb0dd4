#pragma once

#include <utility>

namespace dsf2vemo::gui {

// Marks the window busy for its lifetime; nests.
class BusyScope {
  public:
    explicit BusyScope(bool& busy) : busy_(busy), was_busy_(std::exchange(busy, true)) {}
    ~BusyScope() { busy_ = was_busy_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    bool& busy_;
    bool was_busy_;
};

}  // namespace dsf2vemo::gui
