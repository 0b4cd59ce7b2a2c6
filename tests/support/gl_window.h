// A hidden window and its device context for OpenGL tests, with a pixel format when asked.
#pragma once

#include <windows.h>
#include <GL/gl.h>

struct GLWindow {
  HWND window = CreateWindowExA(0, "STATIC", "gl test", 0, 0, 0, 64, 64, NULL, NULL, NULL, NULL);
  HDC dc = GetDC(window);

  // format 0: the one ChoosePixelFormat gives for an OpenGL-only request.
  explicit GLWindow(bool with_format = true, int format = 0) {
    if (!with_format) return;
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_SUPPORT_OPENGL;
    SetPixelFormat(dc, format ? format : ChoosePixelFormat(dc, &pfd), &pfd);
  }
  ~GLWindow() {
    ReleaseDC(window, dc);
    DestroyWindow(window);
  }
  GLWindow(const GLWindow &) = delete;
  GLWindow &operator=(const GLWindow &) = delete;
};

// wglGetProcAddress as the pointer type the caller wants.
template <typename Function>
Function GLProc(const char *name) {
  return reinterpret_cast<Function>(reinterpret_cast<void *>(wglGetProcAddress(name)));
}
