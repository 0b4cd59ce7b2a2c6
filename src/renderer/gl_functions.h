// The process-wide table of OpenGL and WGL extension entry points, each pointer named like its
// function, and how the program calls through it.
#pragma once

#include <windows.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/wglext.h>

namespace interlock {

// The table in lookup order: pointer type, name, and whether this run looks it up.
#define INTERLOCK_GL_FUNCTIONS(X)                                                     \
  X(PFNWGLDXOPENDEVICENVPROC, wglDXOpenDeviceNV, TRUE)                                \
  X(PFNWGLDXCLOSEDEVICENVPROC, wglDXCloseDeviceNV, TRUE)                              \
  X(PFNWGLDXREGISTEROBJECTNVPROC, wglDXRegisterObjectNV, TRUE)                        \
  X(PFNWGLDXUNREGISTEROBJECTNVPROC, wglDXUnregisterObjectNV, TRUE)                    \
  X(PFNWGLDXSETRESOURCESHAREHANDLENVPROC, wglDXSetResourceShareHandleNV, TRUE)        \
  X(PFNWGLDXLOCKOBJECTSNVPROC, wglDXLockObjectsNV, TRUE)                              \
  X(PFNWGLDXUNLOCKOBJECTSNVPROC, wglDXUnlockObjectsNV, TRUE)                          \
  X(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers, TRUE)                                \
  X(PFNGLDELETEFRAMEBUFFERSPROC, glDeleteFramebuffers, TRUE)                          \
  X(PFNGLGENRENDERBUFFERSPROC, glGenRenderbuffers, TRUE)                              \
  X(PFNGLDELETERENDERBUFFERSPROC, glDeleteRenderbuffers, TRUE)                        \
  X(PFNGLBINDRENDERBUFFERPROC, glBindRenderbuffer, bind_renderbuffers)                \
  X(PFNGLNAMEDRENDERBUFFERSTORAGEPROC, glNamedRenderbufferStorage, allocate_renderbuffers_storage) \
  X(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer, TRUE)                                \
  X(PFNGLFRAMEBUFFERTEXTURE2DPROC, glFramebufferTexture2D, TRUE)                      \
  X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, glFramebufferRenderbuffer, TRUE)                \
  X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus, TRUE)                  \
  X(PFNGLBINDBUFFERPROC, glBindBuffer, TRUE)                                          \
  X(PFNGLDRAWRANGEELEMENTSPROC, glDrawRangeElements, TRUE)                            \
  X(PFNGLGENBUFFERSPROC, glGenBuffers, TRUE)                                          \
  X(PFNGLBUFFERDATAPROC, glBufferData, TRUE)                                          \
  X(PFNGLGENVERTEXARRAYSPROC, glGenVertexArrays, TRUE)                                \
  X(PFNGLBINDVERTEXARRAYPROC, glBindVertexArray, TRUE)                                \
  X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer, TRUE)                        \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, glEnableVertexAttribArray, TRUE)                \
  X(PFNGLUSEPROGRAMPROC, glUseProgram, TRUE)                                          \
  X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, glDisableVertexAttribArray, TRUE)              \
  X(PFNGLDELETEVERTEXARRAYSPROC, glDeleteVertexArrays, TRUE)                          \
  X(PFNGLCREATESHADERPROC, glCreateShader, TRUE)                                      \
  X(PFNGLSHADERSOURCEPROC, glShaderSource, TRUE)                                      \
  X(PFNGLCOMPILESHADERPROC, glCompileShader, TRUE)                                    \
  X(PFNGLGETSHADERIVPROC, glGetShaderiv, TRUE)                                        \
  X(PFNGLCREATEPROGRAMPROC, glCreateProgram, TRUE)                                    \
  X(PFNGLATTACHSHADERPROC, glAttachShader, TRUE)                                      \
  X(PFNGLLINKPROGRAMPROC, glLinkProgram, TRUE)                                        \
  X(PFNGLGETPROGRAMIVPROC, glGetProgramiv, TRUE)                                      \
  X(PFNGLDETACHSHADERPROC, glDetachShader, TRUE)                                      \
  X(PFNGLDELETESHADERPROC, glDeleteShader, TRUE)                                      \
  X(PFNGLDELETEBUFFERSPROC, glDeleteBuffers, TRUE)                                    \
  X(PFNGLDELETEPROGRAMPROC, glDeleteProgram, TRUE)                                    \
  X(PFNGLGETATTRIBLOCATIONPROC, glGetAttribLocation, TRUE)                            \
  X(PFNGLBINDFRAGDATALOCATIONPROC, glBindFragDataLocation, TRUE)

#define INTERLOCK_DECLARE_GL_FUNCTION(type, name, looked_up) extern type name;
INTERLOCK_GL_FUNCTIONS(INTERLOCK_DECLARE_GL_FUNCTION)
#undef INTERLOCK_DECLARE_GL_FUNCTION

// Not in the table: resolved by the context phase of Create, every time it runs.
extern PFNWGLCREATECONTEXTATTRIBSARBPROC wglCreateContextAttribsARB;

// Looks up the table's entry points with the current context, in table order, each followed by
// its "Getting GL function <name>" check.
void LoadGLFunctions();

// wglGetProcAddress("name") as the function-pointer type the caller keeps it in.
template <typename Function>
Function GetGLFunction(const char *name) {
  return reinterpret_cast<Function>(reinterpret_cast<void *>(wglGetProcAddress(name)));
}

// Calls through a table entry. An entry whose lookup failed was reported then and is never
// called: the call is skipped and yields a zero result.
template <typename Result, typename... Params, typename... Args>
Result CallGL(Result(APIENTRY *function)(Params...), Args... args) {
  if (!function) return Result();
  return function(args...);
}

}  // namespace interlock
