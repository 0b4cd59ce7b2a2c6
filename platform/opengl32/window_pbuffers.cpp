// Window pbuffers: one 1x1 pbuffer per window, never shown. A window's pixel format is set only
// once, so its pbuffer's config never changes. Pbuffers of destroyed windows are released when
// the next one is made (EGL defers that while one is still current somewhere).
#include "window_pbuffers.h"

#include <map>
#include <mutex>

#include "common/log.h"
#include "gdi32/gdi32_internal.h"

namespace ilk::opengl32 {
namespace {

std::mutex pbuffers_mutex;
std::map<HWND, EGLSurface> &Pbuffers() {
  static auto *pbuffers = new std::map<HWND, EGLSurface>;  // lives as long as the process
  return *pbuffers;
}

void ReleasePbuffersOfDestroyedWindows(EGLDisplay display) {
  for (auto entry = Pbuffers().begin(); entry != Pbuffers().end();) {
    if (IsWindow(entry->first)) {
      ++entry;
    } else {
      eglDestroySurface(display, entry->second);
      entry = Pbuffers().erase(entry);
    }
  }
}

}  // namespace

EGLSurface WindowPbuffer(HWND window, EGLConfig config) {
  std::lock_guard<std::mutex> lock(pbuffers_mutex);
  auto found = Pbuffers().find(window);
  if (found != Pbuffers().end()) return found->second;
  EGLDisplay display = ilk::gdi32::PixelFormatDisplay();
  ReleasePbuffersOfDestroyedWindows(display);
  const EGLint size[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display, config, size);
  if (surface == EGL_NO_SURFACE) {
    ilk::Log("no pbuffer for window %p (EGL error 0x%x)", (void *)window, eglGetError());
  } else {
    Pbuffers()[window] = surface;
  }
  return surface;
}

}  // namespace ilk::opengl32
