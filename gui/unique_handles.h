#pragma once

#include <windows.h>

#include <utility>

namespace dsf2vemo::gui {

// Owns one handle and frees it with `Free` when it goes; moves, never copies.
template <class Handle, auto Free>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    Handle Release() { return std::exchange(handle_, nullptr); }
    void Reset(Handle handle = nullptr) {
        if (Handle old = std::exchange(handle_, handle)) {
            Free(old);
        }
    }

  private:
    Handle handle_ = nullptr;
};

inline void DestroyWindowHandle(HWND window) {
    DestroyWindow(window);
}
inline void DeleteFontHandle(HFONT font) {
    DeleteObject(font);
}
inline void FreeModuleHandle(HMODULE module) {
    FreeLibrary(module);
}

using UniqueWindow = UniqueHandle<HWND, DestroyWindowHandle>;
using UniqueFont = UniqueHandle<HFONT, DeleteFontHandle>;
using UniqueModule = UniqueHandle<HMODULE, FreeModuleHandle>;

}  // namespace dsf2vemo::gui
