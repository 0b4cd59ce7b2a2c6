// Pixel formats as opengl32 sees them: each one is an EGL config of the one EGL display.
#pragma once

#include <EGL/egl.h>
#include <windows.h>

#include "common/knobs.h"

namespace ilk {

// The surfaceless EGL display (initialized) whose configs are the pixel formats;
// EGL_NO_DISPLAY when it cannot be opened, and then there are no pixel formats.
ILK_API EGLDisplay PixelFormatDisplay();

// The EGL config of pixel format `format` (counted from 1); null when there is no such format.
ILK_API EGLConfig PixelFormatConfig(int format);

}  // namespace ilk
