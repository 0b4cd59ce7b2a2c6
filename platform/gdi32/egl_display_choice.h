// The EGL display OpenGL runs on, opened where its platform is chosen.
#pragma once

#include <EGL/egl.h>

namespace ilk::gdi32 {

// Opens and initialises the display of the platform INTERLOCK_EGL_PLATFORM chooses. An EGL that
// cannot open that one falls back to the other (surfaceless or device 0), with a note on stderr,
// so that a run never fails for want of one platform; EGL_NO_DISPLAY, with a note, when neither
// opens. The caller terminates the display.
EGLDisplay OpenChosenEglDisplay();

}  // namespace ilk::gdi32
