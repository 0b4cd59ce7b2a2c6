// gdi32: solid brushes. A brush is its colour; the window manager paints a class background
// with it until something is presented.
#include <windows.h>

#include <mutex>
#include <set>

#include "kernel32/kernel32_internal.h"
#include "common/log.h"
#include "common/platform_state.h"
#include "gdi32_internal.h"

namespace {

// GDI objects live until deleted or the platform shuts down.
struct Brushes {
  ~Brushes() {
    for (HBRUSH brush : live) delete reinterpret_cast<ilk::gdi32::SolidBrush *>(brush);
  }

  std::mutex mutex;
  std::set<HBRUSH> live;
};

ilk::PlatformState<Brushes> brushes;

}  // namespace

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  HBRUSH brush = nullptr;
  if (!ilk::kernel32::FailsWithLastError("CreateSolidBrush")) {
    brush = reinterpret_cast<HBRUSH>(new ilk::gdi32::SolidBrush{color & 0x00FFFFFF});
    Brushes &state = brushes.Get();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.live.insert(brush);
  }
  ilk::Trace("CreateSolidBrush(0x%06x) = %p", color, (void *)brush);
  return brush;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  Brushes &state = brushes.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  HBRUSH brush = static_cast<HBRUSH>(object);
  BOOL deleted = state.live.erase(brush) != 0;
  if (deleted) delete reinterpret_cast<ilk::gdi32::SolidBrush *>(brush);
  ilk::Trace("DeleteObject(%p) = %d", object, deleted);
  return deleted;
}

namespace ilk::gdi32 {

std::optional<COLORREF> BrushColor(HBRUSH brush) {
  Brushes &state = brushes.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.live.count(brush)) return std::nullopt;
  return reinterpret_cast<const SolidBrush *>(brush)->color;
}

}  // namespace ilk::gdi32
