// Window surfaces: one 1x1 pbuffer per window, never shown. A window's pixel format is set only
// once, so its pbuffer's config never changes. Pbuffers of destroyed windows are released when
// the next one is made (EGL defers that while one is still current somewhere).
#include "opengl32/window_surfaces.h"

#include <map>
#include <mutex>

#include "common/log.h"
#include "gdi32/pixel_formats.h"

namespace opengl32 {
namespace {

std::mutex surfaces_mutex;
std::map<HWND, EGLSurface> &Surfaces() {
  static auto *surfaces = new std::map<HWND, EGLSurface>;  // lives as long as the process
  return *surfaces;
}

void ReleaseSurfacesOfDestroyedWindows(EGLDisplay display) {
  for (auto entry = Surfaces().begin(); entry != Surfaces().end();) {
    if (IsWindow(entry->first)) {
      ++entry;
    } else {
      eglDestroySurface(display, entry->second);
      entry = Surfaces().erase(entry);
    }
  }
}

}  // namespace

EGLSurface WindowSurface(HWND window, EGLConfig config) {
  std::lock_guard<std::mutex> lock(surfaces_mutex);
  auto found = Surfaces().find(window);
  if (found != Surfaces().end()) return found->second;
  EGLDisplay display = ilk::PixelFormatDisplay();
  ReleaseSurfacesOfDestroyedWindows(display);
  const EGLint size[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display, config, size);
  if (surface == EGL_NO_SURFACE) {
    ilk::Log("no pbuffer for window %p (EGL error 0x%x)", (void *)window, eglGetError());
  } else {
    Surfaces()[window] = surface;
  }
  return surface;
}

}  // namespace opengl32
