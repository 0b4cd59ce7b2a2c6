// gdi32: solid brushes. A brush is its colour; the window manager paints a class background
// with it until something is presented.
#include <windows.h>

#include <mutex>
#include <set>

#include "common/injected_failure.h"
#include "common/log.h"
#include "gdi32_internal.h"

namespace {

std::mutex brushes_mutex;
std::set<HBRUSH> &Brushes() {
  static auto *brushes = new std::set<HBRUSH>;  // GDI objects live until deleted or the process ends
  return *brushes;
}

}  // namespace

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  HBRUSH brush = nullptr;
  if (!ilk::FailsWithLastError("CreateSolidBrush")) {
    brush = reinterpret_cast<HBRUSH>(new ilk::gdi32::SolidBrush{color & 0x00FFFFFF});
    std::lock_guard<std::mutex> lock(brushes_mutex);
    Brushes().insert(brush);
  }
  ilk::Trace("CreateSolidBrush(0x%06x) = %p", color, (void *)brush);
  return brush;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  std::lock_guard<std::mutex> lock(brushes_mutex);
  HBRUSH brush = static_cast<HBRUSH>(object);
  BOOL deleted = Brushes().erase(brush) != 0;
  if (deleted) delete reinterpret_cast<ilk::gdi32::SolidBrush *>(brush);
  ilk::Trace("DeleteObject(%p) = %d", object, deleted);
  return deleted;
}

namespace ilk::gdi32 {

std::optional<COLORREF> BrushColor(HBRUSH brush) {
  std::lock_guard<std::mutex> lock(brushes_mutex);
  if (!Brushes().count(brush)) return std::nullopt;
  return reinterpret_cast<const SolidBrush *>(brush)->color;
}

}  // namespace ilk::gdi32
