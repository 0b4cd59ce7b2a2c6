// Pixel formats as opengl32 sees them: each one is an EGL config of the one EGL display.
#pragma once

#include <EGL/egl.h>
#include <windows.h>

#include "common/knobs.h"

namespace ilk::gdi32 {

// The surfaceless EGL display (initialized) whose configs are the pixel formats;
// EGL_NO_DISPLAY when it cannot be opened, and then there are no pixel formats.
INTERLOCK_EXPORT EGLDisplay PixelFormatDisplay();

// The EGL config of pixel format `format` (counted from 1); null when there is no such format.
INTERLOCK_EXPORT EGLConfig PixelFormatConfig(int format);

}  // namespace ilk::gdi32
