// The native program's OpenGL (native_gl.h).
#include "native_gl.h"

#include <EGL/eglext.h>
#include <stdio.h>

namespace native {

bool Egl::Open() {
  display_ = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr) || !eglBindAPI(EGL_OPENGL_API)) {
    return false;
  }
  const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0, EGL_NONE};
  EGLint count = 0;
  if (!eglChooseConfig(display_, wanted, &config_, 1, &count) || count < 1) return false;
  bool complete = true;
#define NATIVE_GL_LOAD(result, name, parameters)                                                  \
  gl_.name = reinterpret_cast<result(APIENTRY *) parameters>(eglGetProcAddress("gl" #name));      \
  if (!gl_.name) {                                                                                 \
    fprintf(stderr, "interlock-native: no gl" #name "\n");                                        \
    complete = false;                                                                              \
  }
  NATIVE_GL_FUNCTIONS(NATIVE_GL_LOAD)
#undef NATIVE_GL_LOAD
  return complete;
}

EGLContext Egl::MakeContext() {
  const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 2,
                               EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
  EGLContext context = eglCreateContext(display_, config_, EGL_NO_CONTEXT, attributes);
  if (context != EGL_NO_CONTEXT && !MakeCurrent(context)) {
    DestroyContext(context);
    return EGL_NO_CONTEXT;
  }
  return context;
}

bool Egl::MakeCurrent(EGLContext context) {
  if (eglGetCurrentContext() == context) return true;
  return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context);
}

void Egl::DestroyContext(EGLContext context) {
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(display_, context);
}

}  // namespace native
