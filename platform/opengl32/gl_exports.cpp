// opengl32: the OpenGL 1.1 functions the DLL exports, forwarded to Mesa through EGL.
#include <EGL/egl.h>
#include <GL/gl.h>
#include <windows.h>

namespace {

// Mesa's entry point of that name (EGL_KHR_get_all_proc_addresses gives core functions too).
template <typename Function>
Function Mesa(const char *name) {
  return reinterpret_cast<Function>(eglGetProcAddress(name));
}

}  // namespace

GLenum APIENTRY glGetError(void) {
  static auto mesa = Mesa<GLenum (*)(void)>("glGetError");
  return mesa ? mesa() : GL_NO_ERROR;
}

void APIENTRY glEnable(GLenum cap) {
  static auto mesa = Mesa<void (*)(GLenum)>("glEnable");
  if (mesa) mesa(cap);
}

void APIENTRY glDisable(GLenum cap) {
  static auto mesa = Mesa<void (*)(GLenum)>("glDisable");
  if (mesa) mesa(cap);
}

const GLubyte *APIENTRY glGetString(GLenum name) {
  static auto mesa = Mesa<const GLubyte *(*)(GLenum)>("glGetString");
  return mesa ? mesa(name) : nullptr;
}
