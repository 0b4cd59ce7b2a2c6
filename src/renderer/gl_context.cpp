// The OpenGL context phase of Create: a throw-away context on a hidden temporary window gives
// access to wglCreateContextAttribsARB, which makes the window's real context (3.2 core, or 3.0
// compatibility with --compat-gl, both with the debug flag). Without it, or when it fails, the
// throw-away context becomes the window's context (legacy GL). Debug output then goes to
// DebugCallback, and no context stays current.
#include <stdio.h>

#include "app/options.h"
#include "diag/checks.h"
#include "renderer/create_phases.h"
#include "renderer/gl_functions.h"

namespace interlock {
namespace {

struct TemporaryContext {
  HWND temp;
  HDC tempdc;
  HGLRC temprc;
  int format;
  PIXELFORMATDESCRIPTOR pfd;  // the description of `format`
};

// A context on a new hidden window, current on return. Its pixel format asks only for OpenGL
// support: OpenGL never draws into a window's own framebuffer here.
TemporaryContext CreateTemporaryContext() {
  TemporaryContext t = {};
  t.temp = CreateWindowExA(0, "STATIC", "temp", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, NULL,
                           NULL, NULL, NULL);
  CheckGLE(t.temp, "CreateWindowA for a temp window @1310");
  SetLastError(0);
  t.tempdc = GetDC(t.temp);
  CheckGLE(t.tempdc, "GetDC for the temp window @1314");
  t.pfd.nSize = sizeof t.pfd;
  t.pfd.nVersion = 1;
  t.pfd.dwFlags = PFD_SUPPORT_OPENGL;
  t.pfd.iPixelType = PFD_TYPE_RGBA;
  t.pfd.iLayerType = PFD_MAIN_PLANE;
  SetLastError(0);
  t.format = ChoosePixelFormat(t.tempdc, &t.pfd);
  CheckGLE(t.format, "ChoosePixelFormat for thetemp window @1327");
  SetLastError(0);
  DescribePixelFormat(t.tempdc, t.format, sizeof t.pfd, &t.pfd);
  CheckGLE(SetPixelFormat(t.tempdc, t.format, &t.pfd), "SetPixelFormat for the temp window @1333");
  SetLastError(0);
  t.temprc = wglCreateContext(t.tempdc);
  CheckGLE(t.temprc, "wglCreateContext for the temp window @1337");
  SetLastError(0);
  CheckGLE(wglMakeCurrent(t.tempdc, t.temprc), "wglMakeCurrent for the temp window @1341");
  return t;
}

// The real context on `newdc`, after giving its window the temporary window's pixel format;
// null when creation failed (reported). A refused 3.2 core request is retried once as 3.0.
HGLRC CreateRealContext(HDC newdc, const TemporaryContext &t) {
  int attrib[9] = {WGL_CONTEXT_MAJOR_VERSION_ARB,
                   3,
                   WGL_CONTEXT_MINOR_VERSION_ARB,
                   compat_gl ? 0 : 2,
                   WGL_CONTEXT_FLAGS_ARB,
                   WGL_CONTEXT_DEBUG_BIT_ARB,
                   WGL_CONTEXT_PROFILE_MASK_ARB,
                   compat_gl ? WGL_CONTEXT_COMPATIBILITY_PROFILE_BIT_ARB : WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
                   0};
  SetLastError(0);
  CheckGLE(SetPixelFormat(newdc, t.format, &t.pfd), "SetPixelFormat for the real window @1361");
  HGLRC newrc = wglCreateContextAttribsARB(newdc, NULL, attrib);
  DWORD error = GetLastError();
  // Only the low 16 bits count: drivers also report the code with high bits set.
  if (!newrc && (error & 0xFFFF) == ERROR_INVALID_VERSION_ARB && !compat_gl) {
    attrib[3] = 0;
    SetLastError(0);
    newrc = wglCreateContextAttribsARB(newdc, NULL, attrib);
    CheckGLE(newrc, "wglCreateContextAttribsARB for the temp window @1371");
  } else {
    CheckGLE(newrc, "wglCreateContextAttribsARB for the temp window @1374");
  }
  return newrc;
}

// Sends the current context's debug output to DebugCallback when the driver can.
void RouteDebugOutput() {
  PFNGLDEBUGMESSAGECALLBACKPROC glDebugMessageCallback =
      GetGLFunction<PFNGLDEBUGMESSAGECALLBACKPROC>("glDebugMessageCallback");
  if (glDebugMessageCallback) glDebugMessageCallback(DebugCallback, NULL);
  glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
  glEnable(GL_DEBUG_OUTPUT);
}

}  // namespace

void CreateGLContext(window_renderer *wr) {
  TemporaryContext t = CreateTemporaryContext();
  wglCreateContextAttribsARB = GetGLFunction<PFNWGLCREATECONTEXTATTRIBSARBPROC>("wglCreateContextAttribsARB");
  HDC newdc = GetDC(wr->window);
  HGLRC newrc = NULL;
  if (wglCreateContextAttribsARB) {
    newrc = CreateRealContext(newdc, t);
  } else {
    // The kept temporary context is made current on the window later, which needs the window to
    // have the context's pixel format. A failure here shows in that later check.
    SetPixelFormat(newdc, t.format, &t.pfd);
  }
  if (newrc) {
    SetLastError(0);
    CheckGLE(wglMakeCurrent(newdc, newrc), "wglMakeCurrent for the temp window @1381");
    wglDeleteContext(t.temprc);
    wr->gl_context = newrc;
  } else {
    puts("WARNING: using legacy GL");
    CheckGLE(wglMakeCurrent(t.tempdc, t.temprc), "wglMakeCurrent for the temp window @1390");
    wr->gl_context = t.temprc;
  }
  RouteDebugOutput();
  wglMakeCurrent(t.tempdc, NULL);
  ReleaseDC(t.temp, t.tempdc);
  DestroyWindow(t.temp);
  ReleaseDC(wr->window, newdc);
}

}  // namespace interlock
