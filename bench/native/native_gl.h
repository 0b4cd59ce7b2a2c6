// The native program's OpenGL: Mesa through EGL on the surfaceless platform, a 3.2 core context
// per window, and the entry points it calls, all looked up with eglGetProcAddress.
#pragma once

#include <EGL/egl.h>
#include <GL/gl.h>
#include <GL/glext.h>

namespace native {

#define NATIVE_GL_FUNCTIONS(X)                                                                            \
  X(void, BindBuffer, (GLenum target, GLuint buffer))                                                    \
  X(void, BindFramebuffer, (GLenum target, GLuint framebuffer))                                          \
  X(void, BindTexture, (GLenum target, GLuint texture))                                                  \
  X(void, BindVertexArray, (GLuint array))                                                               \
  X(void, AttachShader, (GLuint program, GLuint shader))                                                 \
  X(void, BindFragDataLocation, (GLuint program, GLuint color, const GLchar *name))                      \
  X(void, BufferData, (GLenum target, GLsizeiptr size, const void *data, GLenum usage))                  \
  X(GLenum, CheckFramebufferStatus, (GLenum target))                                                     \
  X(void, Clear, (GLbitfield mask))                                                                      \
  X(void, ClearColor, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha))                         \
  X(void, CompileShader, (GLuint shader))                                                                \
  X(void, CreateMemoryObjectsEXT, (GLsizei n, GLuint * memory))                                          \
  X(GLuint, CreateProgram, (void))                                                                       \
  X(GLuint, CreateShader, (GLenum type))                                                                 \
  X(void, DeleteBuffers, (GLsizei n, const GLuint *buffers))                                             \
  X(void, DeleteFramebuffers, (GLsizei n, const GLuint *framebuffers))                                   \
  X(void, DeleteMemoryObjectsEXT, (GLsizei n, const GLuint *memory))                                     \
  X(void, DeleteProgram, (GLuint program))                                                               \
  X(void, DeleteShader, (GLuint shader))                                                                 \
  X(void, DeleteTextures, (GLsizei n, const GLuint *textures))                                           \
  X(void, DeleteVertexArrays, (GLsizei n, const GLuint *arrays))                                         \
  X(void, DrawArrays, (GLenum mode, GLint first, GLsizei count))                                         \
  X(void, EnableVertexAttribArray, (GLuint index))                                                       \
  X(void, Finish, (void))                                                                                \
  X(void, FramebufferTexture2D, (GLenum target, GLenum attachment, GLenum textarget, GLuint texture, GLint level)) \
  X(void, GenBuffers, (GLsizei n, GLuint * buffers))                                                     \
  X(void, GenFramebuffers, (GLsizei n, GLuint * framebuffers))                                           \
  X(void, GenTextures, (GLsizei n, GLuint * textures))                                                   \
  X(void, GenVertexArrays, (GLsizei n, GLuint * arrays))                                                 \
  X(GLint, GetAttribLocation, (GLuint program, const GLchar *name))                                      \
  X(GLenum, GetError, (void))                                                                            \
  X(void, GetProgramiv, (GLuint program, GLenum pname, GLint * params))                                  \
  X(void, GetUnsignedBytei_vEXT, (GLenum target, GLuint index, GLubyte * data))                          \
  X(void, ImportMemoryFdEXT, (GLuint memory, GLuint64 size, GLenum handle_type, GLint fd))               \
  X(void, LinkProgram, (GLuint program))                                                                 \
  X(void, MemoryObjectParameterivEXT, (GLuint memory, GLenum pname, const GLint *params))                \
  X(void, ShaderSource, (GLuint shader, GLsizei count, const GLchar *const *string, const GLint *length)) \
  X(void, TexParameteri, (GLenum target, GLenum pname, GLint param))                                     \
  X(void, TexStorageMem2DEXT,                                                                            \
    (GLenum target, GLsizei levels, GLenum format, GLsizei width, GLsizei height, GLuint memory, GLuint64 offset)) \
  X(void, UseProgram, (GLuint program))                                                                  \
  X(void, VertexAttribPointer,                                                                           \
    (GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride, const void *pointer))   \
  X(void, Viewport, (GLint x, GLint y, GLsizei width, GLsizei height))

// Every entry point, named without its "gl" prefix: gl.Clear(...).
struct GL {
#define NATIVE_GL_MEMBER(result, name, parameters) result(APIENTRY *name) parameters = nullptr;
  NATIVE_GL_FUNCTIONS(NATIVE_GL_MEMBER)
#undef NATIVE_GL_MEMBER
};

class Egl {
 public:
  Egl() = default;
  Egl(const Egl &) = delete;
  Egl &operator=(const Egl &) = delete;

  // The surfaceless display and the entry points. False when EGL or an entry point is missing.
  // The display stays initialised until the process ends, as Mesa's drivers stay loaded.
  bool Open();
  const GL &Functions() const { return gl_; }

  // A 3.2 core-profile context, made current without a surface; EGL_NO_CONTEXT on failure.
  EGLContext MakeContext();
  bool MakeCurrent(EGLContext context);
  void DestroyContext(EGLContext context);

 private:
  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLConfig config_ = nullptr;
  GL gl_;
};

}  // namespace native
