// The EGL surface behind each window's default framebuffer.
#pragma once

#include <EGL/egl.h>
#include <windows.h>

namespace ilk::opengl32 {

// The 1x1 pbuffer of `window` in `config` (the window's pixel format), created on first use, so
// that framebuffer 0 is complete while a context is current on the window, as on Windows.
// EGL_NO_SURFACE when EGL cannot make one.
EGLSurface WindowPbuffer(HWND window, EGLConfig config);

}  // namespace ilk::opengl32
