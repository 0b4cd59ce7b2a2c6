// gdi32: the device contexts of windows. A DC knows its window, so the pixel-format calls find
// the window without asking user32, which makes and deletes the DC with the window.
#include <map>
#include <mutex>

#include "gdi32_internal.h"

namespace {

std::mutex dcs_mutex;
std::map<HDC, HWND> &WindowDcs() {
  static auto *dcs = new std::map<HDC, HWND>;
  return *dcs;
}

}  // namespace

namespace ilk::gdi32 {

HDC CreateWindowDc(HWND window) {
  // Handle values look like Windows' and count upwards from above the screen's DC, 0x1010000.
  static uintptr_t next = 0x1010000;
  std::lock_guard<std::mutex> lock(dcs_mutex);
  next += 4;
  HDC dc = reinterpret_cast<HDC>(next);
  WindowDcs()[dc] = window;
  return dc;
}

void DeleteWindowDc(HDC dc) {
  std::lock_guard<std::mutex> lock(dcs_mutex);
  WindowDcs().erase(dc);
}

HWND WindowOfDc(HDC dc) {
  std::lock_guard<std::mutex> lock(dcs_mutex);
  auto found = WindowDcs().find(dc);
  return found == WindowDcs().end() ? nullptr : found->second;
}

}  // namespace ilk::gdi32
