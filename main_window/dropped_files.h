#pragma once

#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <vector>

namespace dsf2vemo::gui {

// The files of one WM_DROPFILES. Owns the drop handle and finishes the drop when it goes, whether
// the files were taken or not.
class DroppedFiles {
  public:
    explicit DroppedFiles(HDROP drop) : drop_(drop) {}
    ~DroppedFiles() { DragFinish(drop_); }
    DroppedFiles(const DroppedFiles&) = delete;
    DroppedFiles& operator=(const DroppedFiles&) = delete;

    // The full paths, in the order the shell lists them.
    std::vector<std::filesystem::path> Paths() const;

  private:
    HDROP drop_;
};

}  // namespace dsf2vemo::gui
