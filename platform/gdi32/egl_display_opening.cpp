// The EGL display opened ahead of its first use (egl_display_opening.h).
#include "egl_display_opening.h"

#include <future>
#include <mutex>

#include "common/platform_state.h"
#include "egl_display_choice.h"

namespace ilk::gdi32 {
namespace {

struct DisplayOpening {
  std::mutex mutex;
  bool started = false;               // an opening has started, or the display was taken
  std::future<EGLDisplay> display;    // the opening, until taken

  ~DisplayOpening() {
    if (!display.valid()) return;
    EGLDisplay opened = display.get();
    if (opened != EGL_NO_DISPLAY) eglTerminate(opened);
  }
};

PlatformState<DisplayOpening> opening;

}  // namespace

void StartOpeningEglDisplay() {
  DisplayOpening &state = opening.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.started) return;
  state.started = true;
  // EGL's start-up calls no platform code but the knobs and the log.
  state.display = std::async(std::launch::async, OpenChosenEglDisplay);
}

EGLDisplay TakeEglDisplay() {
  std::future<EGLDisplay> started;
  {
    DisplayOpening &state = opening.Get();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.started = true;
    started = std::move(state.display);
  }
  return started.valid() ? started.get() : OpenChosenEglDisplay();
}

}  // namespace ilk::gdi32
