// The EGL display opened ahead of its first use. Opening it (loading and starting Mesa's OpenGL
// driver) takes about as long as Direct3D's start-up (Vulkan's instance and device), which a
// program does between creating its window and setting up OpenGL on it: the first window's DC
// starts the opening on a thread of its own, so that the two run side by side.
#pragma once

#include <EGL/egl.h>

namespace ilk::gdi32 {

// Starts opening the chosen display (OpenChosenEglDisplay) on a thread of its own, unless an
// opening has started or the display is open already. Any thread; returns at once.
void StartOpeningEglDisplay();

// The display: the one being opened, once it is, else opened now. Once per set-up of the
// platform; the caller terminates it. An opening never taken is finished and terminated at
// ShutDownPlatform.
EGLDisplay TakeEglDisplay();

}  // namespace ilk::gdi32
