// OpenGL rendering contexts (HGLRC) and the context current on each thread.
#pragma once

#include <EGL/egl.h>
#include <GL/gl.h>
#include <windows.h>

#include <deque>
#include <vector>

#include "name_storage.h"

namespace ilk::opengl32 {

// A context is current on one thread at a time, and no other thread can make it current or
// delete it meanwhile (ERROR_BUSY). So what it holds past `current` belongs to the thread it is
// current on and needs no lock.
struct Context {
  Context() = default;
  ~Context();  // destroys the EGL context
  Context(const Context &) = delete;
  Context &operator=(const Context &) = delete;

  EGLContext egl = EGL_NO_CONTEXT;
  int pixel_format = 0;   // the format of the DC it was created on; it is current only on those
  HGLRC share_group = nullptr;  // the first context of the group whose objects it shares
  bool current = false;   // current on some thread; under the contexts' lock

  HDC dc = nullptr;       // the DC it is current on
  // GL errors that glGetError returns before Mesa's: an injected error, preceded by the
  // errors Mesa had pending when it was raised, so the order stays that of the calls. Each
  // code at most once, as OpenGL keeps one flag per code.
  std::deque<GLenum> pending_errors;
  FramebufferAttachments attachments;
  // The program's debug callback and its parameter; Mesa calls opengl32's relay (debug_output.h).
  GLDEBUGPROC debug_callback = nullptr;
  const void *debug_user_param = nullptr;
};

// The context current on this thread, or null. Takes no lock.
Context *CurrentContext();
// The share group of the context current on this thread, or null.
HGLRC CurrentShareGroup();

// Creates a context on the pixel format of `dc`'s window with the EGL attributes `attribs`
// (EGL_NONE-terminated), sharing objects with `share` when that is not null. When EGL cannot
// give what the attributes ask for, fails with `unsupported_error`. Null with the last-error
// code set on failure.
HGLRC CreateContext(HDC dc, HGLRC share, const std::vector<EGLint> &attribs, DWORD unsupported_error);

// wglCreateContextAttribsARB, handed out by wglGetProcAddress.
HGLRC WINAPI CreateContextAttribs(HDC dc, HGLRC share, const int *attribs);

// Raises `error` in the current context as if the last call had raised it; nothing without one.
void RaiseError(GLenum error);

// Moves the errors Mesa has pending into the current context's own queue, where glGetError
// still finds them in order; returns how many there were. Platform calls made after it can
// then tell their own errors apart.
size_t SetAsideErrors();
// Drops the errors Mesa raised since the last SetAsideErrors and returns how many: the
// platform's own OpenGL calls never leave an error for the program.
size_t DropErrors();

}  // namespace ilk::opengl32
