// opengl32: the OpenGL 1.1 functions the DLL exports, forwarded to Mesa. glGetError returns the
// errors raised by INTERLOCK_FAIL (with those Mesa had pending before them) ahead of Mesa's own.
// Texture names reach registered Direct3D storage through name_storage.h, and drawing checks
// that such storage is locked.
#include <GL/gl.h>

#include "contexts.h"
#include "debug_output.h"
#include "forward.h"
#include "name_storage.h"

using ilk::opengl32::Forward;

// The body of the export `name`: forwards its arguments to Mesa's function of that name.
#define FORWARD_TO_MESA(name, ...)            \
  static constexpr char mesa_name[] = #name; \
  return Forward<mesa_name, decltype(&::name)>::Call(__VA_ARGS__)

GLenum APIENTRY glGetError(void) {
  ilk::opengl32::Context *context = ilk::opengl32::CurrentContext();
  if (context && !context->pending_errors.empty()) {
    GLenum error = context->pending_errors.front();
    context->pending_errors.pop_front();
    return error;
  }
  static const auto mesa = reinterpret_cast<GLenum(APIENTRY *)(void)>(ilk::opengl32::MesaProc("glGetError"));
  return mesa();
}

void APIENTRY glEnable(GLenum cap) { FORWARD_TO_MESA(glEnable, cap); }
void APIENTRY glDisable(GLenum cap) { FORWARD_TO_MESA(glDisable, cap); }
GLboolean APIENTRY glIsEnabled(GLenum cap) { FORWARD_TO_MESA(glIsEnabled, cap); }
const GLubyte *APIENTRY glGetString(GLenum name) { FORWARD_TO_MESA(glGetString, name); }
void APIENTRY glGetIntegerv(GLenum pname, GLint *params) { FORWARD_TO_MESA(glGetIntegerv, pname, params); }
void APIENTRY glGetPointerv(GLenum pname, GLvoid **params) {
  static constexpr char mesa_name[] = "glGetPointerv";
  Forward<mesa_name, decltype(&::glGetPointerv)>::Call(pname, params);
  ilk::opengl32::AnswerDebugCallbackQuery(pname, params);
}
void APIENTRY glFinish(void) { FORWARD_TO_MESA(glFinish); }
void APIENTRY glFlush(void) { FORWARD_TO_MESA(glFlush); }
void APIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  FORWARD_TO_MESA(glViewport, x, y, width, height);
}
void APIENTRY glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
  FORWARD_TO_MESA(glClearColor, red, green, blue, alpha);
}
void APIENTRY glClear(GLbitfield mask) {
  ilk::opengl32::CheckDrawTarget("glClear");
  FORWARD_TO_MESA(glClear, mask);
}
// Checked at glBegin: between glBegin and glEnd no other call may be made.
void APIENTRY glBegin(GLenum mode) {
  ilk::opengl32::CheckDrawTarget("glBegin");
  FORWARD_TO_MESA(glBegin, mode);
}
void APIENTRY glEnd(void) { FORWARD_TO_MESA(glEnd); }
void APIENTRY glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
  FORWARD_TO_MESA(glColor4f, red, green, blue, alpha);
}
void APIENTRY glVertex2f(GLfloat x, GLfloat y) { FORWARD_TO_MESA(glVertex2f, x, y); }
void APIENTRY glDrawArrays(GLenum mode, GLint first, GLsizei count) {
  ilk::opengl32::CheckDrawTarget("glDrawArrays");
  FORWARD_TO_MESA(glDrawArrays, mode, first, count);
}
void APIENTRY glGenTextures(GLsizei n, GLuint *textures) { FORWARD_TO_MESA(glGenTextures, n, textures); }
void APIENTRY glDeleteTextures(GLsizei n, const GLuint *textures) {
  ilk::opengl32::ForgetNames(ilk::opengl32::NameKind::Texture, n, textures);
  FORWARD_TO_MESA(glDeleteTextures, n, textures);
}
void APIENTRY glBindTexture(GLenum target, GLuint texture) {
  FORWARD_TO_MESA(glBindTexture, target, ilk::opengl32::TextureToBind(target, texture));
}
GLboolean APIENTRY glIsTexture(GLuint texture) { FORWARD_TO_MESA(glIsTexture, texture); }
void APIENTRY glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                           GLvoid *pixels) {
  FORWARD_TO_MESA(glReadPixels, x, y, width, height, format, type, pixels);
}
