// The entry points past OpenGL 1.1 that take render-buffer names or framebuffers, or draw:
// they reach registered storage through name_storage.h. Each traces and honours INTERLOCK_FAIL
// as every forwarded call does.
#pragma once

#include <GL/glext.h>

namespace ilk::opengl32 {

void APIENTRY FramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbuffertarget, GLuint renderbuffer);
void APIENTRY FramebufferTexture2D(GLenum target, GLenum attachment, GLenum textarget, GLuint texture, GLint level);
void APIENTRY DeleteRenderbuffers(GLsizei n, const GLuint *renderbuffers);
void APIENTRY DeleteFramebuffers(GLsizei n, const GLuint *framebuffers);
void APIENTRY DrawRangeElements(GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type, const void *indices);

}  // namespace ilk::opengl32
