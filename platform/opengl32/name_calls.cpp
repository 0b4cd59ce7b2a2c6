// The entry points past OpenGL 1.1 that take render-buffer names or framebuffers, or draw
// (name_calls.h).
#include "name_calls.h"

#include "forward.h"
#include "name_storage.h"

namespace ilk::opengl32 {

void APIENTRY FramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbuffertarget,
                                      GLuint renderbuffer) {
  Attach(target, attachment, NameKind::Renderbuffer, renderbuffertarget, renderbuffer, 0);
  static FailurePoint call("glFramebufferRenderbuffer");
  AfterCall(call);
}

void APIENTRY FramebufferTexture2D(GLenum target, GLenum attachment, GLenum textarget, GLuint texture, GLint level) {
  Attach(target, attachment, NameKind::Texture, textarget, texture, level);
  static FailurePoint call("glFramebufferTexture2D");
  AfterCall(call);
}

void APIENTRY DeleteRenderbuffers(GLsizei n, const GLuint *renderbuffers) {
  static const auto mesa = MesaFunction<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers");
  ForgetNames(NameKind::Renderbuffer, n, renderbuffers);
  mesa(n, renderbuffers);
  static FailurePoint call("glDeleteRenderbuffers");
  AfterCall(call);
}

void APIENTRY DeleteFramebuffers(GLsizei n, const GLuint *framebuffers) {
  static const auto mesa = MesaFunction<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers");
  ForgetFramebuffers(n, framebuffers);
  mesa(n, framebuffers);
  static FailurePoint call("glDeleteFramebuffers");
  AfterCall(call);
}

void APIENTRY DrawRangeElements(GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type,
                                const void *indices) {
  static const auto mesa = MesaFunction<PFNGLDRAWRANGEELEMENTSPROC>("glDrawRangeElements");
  CheckDrawTarget("glDrawRangeElements");
  mesa(mode, start, end, count, type, indices);
  static FailurePoint call("glDrawRangeElements");
  AfterCall(call);
}

}  // namespace ilk::opengl32
