#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

// Working a real popup menu from a test: the menu runs its own modal loop on the test's thread,
// so another thread waits for it to show and posts it keys.
namespace dsf2vemo::testing {

// The visible popup menus of `thread`.
inline std::vector<HWND> PopupMenus(DWORD thread) {
    std::vector<HWND> menus;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM found) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) == L"#32768" && IsWindowVisible(window)) {
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&menus));
    return menus;
}

struct MenuKey {
    std::size_t open_menus;  // waits until this many menus are open
    UINT message;            // WM_CHAR with an access key, or WM_KEYDOWN
    WPARAM key;
};

// Types into the popup menus of the test's thread from a thread of its own.
class MenuTyper {
  public:
    explicit MenuTyper(std::vector<MenuKey> keys)
        : thread_([this, keys = std::move(keys), ui = GetCurrentThreadId()] {
              for (const MenuKey& key : keys) {
                  std::vector<HWND> menus;
                  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                  while ((menus = PopupMenus(ui)).size() < key.open_menus) {
                      if (std::chrono::steady_clock::now() > deadline) {
                          return;
                      }
                      std::this_thread::sleep_for(std::chrono::milliseconds(10));
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
                  PostMessageW(menus.back(), key.message, key.key, 0);
                  ++typed;
              }
          }) {}
    ~MenuTyper() { thread_.join(); }
    MenuTyper(const MenuTyper&) = delete;
    MenuTyper& operator=(const MenuTyper&) = delete;

    std::atomic<int> typed = 0;

  private:
    std::thread thread_;
};

}  // namespace dsf2vemo::testing
