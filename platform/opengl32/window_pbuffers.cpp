// Window pbuffers: one 1x1 pbuffer per window, never shown. A window's pixel format is set only
// once, so its pbuffer's config never changes. Pbuffers of destroyed windows are released when
// the next one is made (EGL defers that while one is still current somewhere).
#include "window_pbuffers.h"

#include <map>
#include <mutex>

#include "common/log.h"
#include "common/platform_state.h"
#include "gdi32/gdi32_internal.h"
#include "user32/user32_internal.h"

namespace ilk::opengl32 {
namespace {

struct Pbuffers {
  ~Pbuffers() {
    for (const auto &[window, surface] : by_window) eglDestroySurface(display, surface);
  }

  // Opened before the pbuffers are set up, so still open when they are shut down.
  const EGLDisplay display = gdi32::PixelFormatDisplay();
  std::mutex mutex;
  std::map<HWND, EGLSurface> by_window;
};

PlatformState<Pbuffers> pbuffers;

void ReleasePbuffersOfDestroyedWindows(Pbuffers &state) {
  for (auto entry = state.by_window.begin(); entry != state.by_window.end();) {
    if (user32::IsLiveWindow(entry->first)) {
      ++entry;
    } else {
      eglDestroySurface(state.display, entry->second);
      entry = state.by_window.erase(entry);
    }
  }
}

}  // namespace

EGLSurface WindowPbuffer(HWND window, EGLConfig config) {
  Pbuffers &state = pbuffers.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto found = state.by_window.find(window);
  if (found != state.by_window.end()) return found->second;
  ReleasePbuffersOfDestroyedWindows(state);
  const EGLint size[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(state.display, config, size);
  if (surface == EGL_NO_SURFACE) {
    ilk::Log("no pbuffer for window %p (EGL error 0x%x)", (void *)window, eglGetError());
  } else {
    state.by_window[window] = surface;
  }
  return surface;
}

}  // namespace ilk::opengl32
