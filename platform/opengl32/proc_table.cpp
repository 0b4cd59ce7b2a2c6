// opengl32: wglGetProcAddress and the entry points past OpenGL 1.1 that it hands out.
//
// As on Windows it answers only while a context is current, and never for the OpenGL 1.1
// functions (those are exports) or names it does not know: NULL with ERROR_PROC_NOT_FOUND.
// INTERLOCK_HIDE removes an entry point by its name, or every entry point of an extension by the
// extension's name: INTERLOCK_HIDE=WGL_NV_DX_interop removes all seven of its entry points.
#include <GL/glext.h>
#include <GL/wglext.h>
#include <string.h>

#include "common/log.h"
#include "contexts.h"
#include "debug_output.h"
#include "dx_interop.h"
#include "forward.h"
#include "name_calls.h"
#include "kernel32/kernel32_internal.h"

namespace ilk::opengl32 {
namespace {

// Forwarded to Mesa: pointer type, name, and the extension that brings the entry point ("" for
// core OpenGL).
#define MESA_ENTRY_POINTS(X)                                                              \
  X(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers, "")                                      \
  X(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer, "")                                      \
  X(PFNGLISFRAMEBUFFERPROC, glIsFramebuffer, "")                                          \
  X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus, "")                        \
  X(PFNGLGENRENDERBUFFERSPROC, glGenRenderbuffers, "")                                    \
  X(PFNGLBINDRENDERBUFFERPROC, glBindRenderbuffer, "")                                    \
  X(PFNGLISRENDERBUFFERPROC, glIsRenderbuffer, "")                                        \
  X(PFNGLRENDERBUFFERSTORAGEPROC, glRenderbufferStorage, "")                              \
  X(PFNGLNAMEDRENDERBUFFERSTORAGEPROC, glNamedRenderbufferStorage, "GL_ARB_direct_state_access") \
  X(PFNGLGENBUFFERSPROC, glGenBuffers, "")                                                \
  X(PFNGLDELETEBUFFERSPROC, glDeleteBuffers, "")                                          \
  X(PFNGLBINDBUFFERPROC, glBindBuffer, "")                                                \
  X(PFNGLBUFFERDATAPROC, glBufferData, "")                                                \
  X(PFNGLGETBUFFERSUBDATAPROC, glGetBufferSubData, "")                                    \
  X(PFNGLGETBUFFERPARAMETERIVPROC, glGetBufferParameteriv, "")                            \
  X(PFNGLGENVERTEXARRAYSPROC, glGenVertexArrays, "")                                      \
  X(PFNGLDELETEVERTEXARRAYSPROC, glDeleteVertexArrays, "")                                \
  X(PFNGLBINDVERTEXARRAYPROC, glBindVertexArray, "")                                      \
  X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer, "")                              \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, glEnableVertexAttribArray, "")                      \
  X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, glDisableVertexAttribArray, "")                    \
  X(PFNGLCREATESHADERPROC, glCreateShader, "")                                            \
  X(PFNGLDELETESHADERPROC, glDeleteShader, "")                                            \
  X(PFNGLSHADERSOURCEPROC, glShaderSource, "")                                            \
  X(PFNGLGETSHADERIVPROC, glGetShaderiv, "")                                              \
  X(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog, "")                                    \
  X(PFNGLCREATEPROGRAMPROC, glCreateProgram, "")                                          \
  X(PFNGLDELETEPROGRAMPROC, glDeleteProgram, "")                                          \
  X(PFNGLATTACHSHADERPROC, glAttachShader, "")                                            \
  X(PFNGLDETACHSHADERPROC, glDetachShader, "")                                            \
  X(PFNGLGETPROGRAMIVPROC, glGetProgramiv, "")                                            \
  X(PFNGLGETPROGRAMINFOLOGPROC, glGetProgramInfoLog, "")                                  \
  X(PFNGLUSEPROGRAMPROC, glUseProgram, "")                                                \
  X(PFNGLGETATTRIBLOCATIONPROC, glGetAttribLocation, "")                                  \
  X(PFNGLBINDFRAGDATALOCATIONPROC, glBindFragDataLocation, "")                            \
  X(PFNGLGETSTRINGIPROC, glGetStringi, "")                                                \
  X(PFNGLDEBUGMESSAGEINSERTPROC, glDebugMessageInsert, "GL_KHR_debug")

#define MESA_NAME(type, name, extension) constexpr char name##_name[] = #name;
MESA_ENTRY_POINTS(MESA_NAME)

// A compile that INTERLOCK_FAIL fails really fails: the shader's source is replaced by one that
// cannot compile, so its status and log are Mesa's. Any code given with the rule is not used.
void APIENTRY CompileShader(GLuint shader) {
  static const auto mesa_source = MesaFunction<PFNGLSHADERSOURCEPROC>("glShaderSource");
  static const auto mesa_compile = MesaFunction<PFNGLCOMPILESHADERPROC>("glCompileShader");
  ilk::Trace("glCompileShader(%u)", shader);
  if (ilk::InjectedFailure("glCompileShader", GL_INVALID_OPERATION)) {
    const GLchar *broken = "#error compile failure injected by INTERLOCK_FAIL\n";
    mesa_source(shader, 1, &broken, nullptr);
  }
  mesa_compile(shader);
}

// A link that INTERLOCK_FAIL fails really fails: a shader that did not compile takes part in it.
void APIENTRY LinkProgram(GLuint program) {
  static const auto mesa_link = MesaFunction<PFNGLLINKPROGRAMPROC>("glLinkProgram");
  ilk::Trace("glLinkProgram(%u)", program);
  if (!ilk::InjectedFailure("glLinkProgram", GL_INVALID_OPERATION)) {
    mesa_link(program);
    return;
  }
  static const auto mesa_create = MesaFunction<PFNGLCREATESHADERPROC>("glCreateShader");
  static const auto mesa_source = MesaFunction<PFNGLSHADERSOURCEPROC>("glShaderSource");
  static const auto mesa_compile = MesaFunction<PFNGLCOMPILESHADERPROC>("glCompileShader");
  static const auto mesa_attach = MesaFunction<PFNGLATTACHSHADERPROC>("glAttachShader");
  static const auto mesa_detach = MesaFunction<PFNGLDETACHSHADERPROC>("glDetachShader");
  static const auto mesa_delete = MesaFunction<PFNGLDELETESHADERPROC>("glDeleteShader");
  GLuint broken = mesa_create(GL_VERTEX_SHADER);
  const GLchar *source = "#error link failure injected by INTERLOCK_FAIL\n";
  mesa_source(broken, 1, &source, nullptr);
  mesa_compile(broken);
  mesa_attach(program, broken);
  mesa_link(program);
  mesa_detach(program, broken);
  mesa_delete(broken);
}

// Entry points travel as PROC, as wglGetProcAddress returns them.
template <typename Function>
PROC AsProc(Function *function) {
  return reinterpret_cast<PROC>(reinterpret_cast<void *>(function));
}

struct EntryPoint {
  const char *name;
  const char *extension;
  PROC proc;
};

#define MESA_ROW(type, name, extension) {#name, extension, AsProc(&Forward<name##_name, type>::Call)},
const EntryPoint kEntryPoints[] = {
    MESA_ENTRY_POINTS(MESA_ROW)
    {"glCompileShader", "", AsProc(&CompileShader)},
    {"glLinkProgram", "", AsProc(&LinkProgram)},
    {"glFramebufferTexture2D", "", AsProc(&FramebufferTexture2D)},
    {"glFramebufferRenderbuffer", "", AsProc(&FramebufferRenderbuffer)},
    {"glDeleteRenderbuffers", "", AsProc(&DeleteRenderbuffers)},
    {"glDeleteFramebuffers", "", AsProc(&DeleteFramebuffers)},
    {"glDrawRangeElements", "", AsProc(&DrawRangeElements)},
    {"glDebugMessageCallback", "GL_KHR_debug", AsProc(&DebugMessageCallback)},
    {"wglCreateContextAttribsARB", "WGL_ARB_create_context", AsProc(&CreateContextAttribs)},
    {"wglDXOpenDeviceNV", "WGL_NV_DX_interop", AsProc(&DXOpenDevice)},
    {"wglDXCloseDeviceNV", "WGL_NV_DX_interop", AsProc(&DXCloseDevice)},
    {"wglDXSetResourceShareHandleNV", "WGL_NV_DX_interop", AsProc(&DXSetResourceShareHandle)},
    {"wglDXRegisterObjectNV", "WGL_NV_DX_interop", AsProc(&DXRegisterObject)},
    {"wglDXUnregisterObjectNV", "WGL_NV_DX_interop", AsProc(&DXUnregisterObject)},
    {"wglDXLockObjectsNV", "WGL_NV_DX_interop", AsProc(&DXLockObjects)},
    {"wglDXUnlockObjectsNV", "WGL_NV_DX_interop", AsProc(&DXUnlockObjects)},
};

const EntryPoint *Find(const char *name) {
  for (const EntryPoint &entry : kEntryPoints) {
    if (strcmp(entry.name, name) == 0) return &entry;
  }
  return nullptr;
}

}  // namespace
}  // namespace ilk::opengl32

PROC WINAPI wglGetProcAddress(LPCSTR name) {
  PROC proc = nullptr;
  if (std::optional<uint32_t> code = ilk::InjectedFailure("wglGetProcAddress", ERROR_GEN_FAILURE)) {
    ilk::kernel32::SetThreadLastError(*code);
  } else {
    const ilk::opengl32::EntryPoint *entry = name && ilk::opengl32::CurrentContext() ? ilk::opengl32::Find(name) : nullptr;
    if (entry && !ilk::IsHidden(entry->name) && !(*entry->extension && ilk::IsHidden(entry->extension))) {
      proc = entry->proc;
    } else {
      ilk::kernel32::SetThreadLastError(ERROR_PROC_NOT_FOUND);
    }
  }
  ilk::Trace("wglGetProcAddress(\"%s\") = %p", name ? name : "(null)", reinterpret_cast<void *>(proc));
  return proc;
}
