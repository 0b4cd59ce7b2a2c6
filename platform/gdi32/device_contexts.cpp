// gdi32: the device contexts of windows. A DC knows its window, so the pixel-format calls find
// the window without asking user32, which makes and deletes the DC with the window.
#include <map>
#include <mutex>

#include "common/platform_state.h"
#include "gdi32_internal.h"

namespace {

struct WindowDcs {
  std::mutex mutex;
  std::map<HDC, HWND> windows;
};

ilk::PlatformState<WindowDcs> window_dcs;

}  // namespace

namespace ilk::gdi32 {

HDC CreateWindowDc(HWND window) {
  // Handle values look like Windows' and count upwards from above the screen's DC, 0x1010000.
  static uintptr_t next = 0x1010000;  // under the lock; never reset, so never reused
  WindowDcs &state = window_dcs.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  next += 4;
  HDC dc = reinterpret_cast<HDC>(next);
  state.windows[dc] = window;
  return dc;
}

void DeleteWindowDc(HDC dc) {
  WindowDcs &state = window_dcs.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.windows.erase(dc);
}

HWND WindowOfDc(HDC dc) {
  WindowDcs &state = window_dcs.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto found = state.windows.find(dc);
  return found == state.windows.end() ? nullptr : found->second;
}

}  // namespace ilk::gdi32
