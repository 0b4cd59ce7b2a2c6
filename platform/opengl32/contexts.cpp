// opengl32: wglCreateContext, wglDeleteContext, wglMakeCurrent, wglGetCurrentContext and
// wglGetCurrentDC over EGL contexts of the one surfaceless display.
//
// As on Windows: a context is current on one thread at a time and only on DCs whose window has
// its pixel format (else ERROR_INVALID_PIXEL_FORMAT); a failed wglMakeCurrent leaves the thread
// with no current context; deleting the thread's current context releases it first.
// Handles count upwards and are never reused, so a deleted context's handle stays invalid.
#include "contexts.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "common/log.h"
#include "common/platform_state.h"
#include "gdi32/gdi32_internal.h"
#include "forward.h"
#include "name_storage.h"
#include "window_pbuffers.h"
#include "kernel32/kernel32_internal.h"

namespace ilk::opengl32 {
namespace {

struct ContextTable {
  std::mutex mutex;  // for `contexts` and each context's `current`; EGL is never called holding it
  std::map<HGLRC, std::unique_ptr<Context>> contexts;

  ~ContextTable() { platform_state::RequireNoneLeft(contexts.size(), "OpenGL context(s)"); }
};

PlatformState<ContextTable> context_table;
ContextTable &Table() { return context_table.Get(); }

// This thread's current context: it stays in the table while it is current here.
thread_local HGLRC current_handle = nullptr;
thread_local Context *current_context = nullptr;

Context *Find(HGLRC handle) {
  auto found = Table().contexts.find(handle);
  return found == Table().contexts.end() ? nullptr : found->second.get();
}

// Under the table's lock; never reset, so handles are never reused.
HGLRC NextHandle() {
  static uintptr_t next = 0x10000;
  next += 1;
  return reinterpret_cast<HGLRC>(next);
}

DWORD Win32Error(EGLint egl_error, DWORD unsupported_error) {
  switch (egl_error) {
    case EGL_BAD_MATCH: return unsupported_error;
    case EGL_BAD_CONFIG: return ERROR_INVALID_PIXEL_FORMAT;
    case EGL_BAD_CONTEXT: return ERROR_INVALID_OPERATION;
    case EGL_BAD_ALLOC: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_GEN_FAILURE;
  }
}

std::optional<uint32_t> InjectedWglFailure(const char *name) { return ilk::InjectedFailure(name, ERROR_GEN_FAILURE); }

// Lets other threads have `context`, which this thread used until now.
void Disown(Context *context) {
  context->dc = nullptr;
  std::lock_guard<std::mutex> lock(Table().mutex);
  context->current = false;
}

// Leaves this thread with no current context.
void ReleaseCurrent() {
  if (!current_context) return;
  eglMakeCurrent(ilk::gdi32::PixelFormatDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  Disown(current_context);
  current_handle = nullptr;
  current_context = nullptr;
}

// Makes `handle` current on `dc`; the Win32 error when it cannot.
DWORD MakeCurrent(HDC dc, HGLRC handle) {
  HWND window = dc ? gdi32::WindowOfDc(dc) : nullptr;
  int format = window ? gdi32::WindowPixelFormat(window) : 0;
  Context *context = nullptr;
  bool claimed = false;
  {
    std::lock_guard<std::mutex> lock(Table().mutex);
    context = Find(handle);
    if (!context || !window) return ERROR_INVALID_HANDLE;
    if (context->current && context != current_context) return ERROR_BUSY;
    if (format != context->pixel_format) return ERROR_INVALID_PIXEL_FORMAT;
    // Claimed before EGL runs, outside the lock: no other thread takes or deletes it meanwhile.
    claimed = !context->current;
    context->current = true;
  }
  EGLSurface surface = WindowPbuffer(window, ilk::gdi32::PixelFormatConfig(format));
  eglBindAPI(EGL_OPENGL_API);
  if (surface == EGL_NO_SURFACE || !eglMakeCurrent(ilk::gdi32::PixelFormatDisplay(), surface, surface, context->egl)) {
    if (claimed) Disown(context);
    return ERROR_GEN_FAILURE;
  }
  if (current_context && current_context != context) Disown(current_context);
  context->dc = dc;
  current_handle = handle;
  current_context = context;
  return 0;
}

}  // namespace

Context::~Context() {
  if (egl != EGL_NO_CONTEXT) eglDestroyContext(gdi32::PixelFormatDisplay(), egl);
}

Context *CurrentContext() { return current_context; }

HGLRC CurrentShareGroup() {
  Context *context = CurrentContext();
  return context ? context->share_group : nullptr;
}

HGLRC CreateContext(HDC dc, HGLRC share, const std::vector<EGLint> &attribs, DWORD unsupported_error) {
  HWND window = gdi32::WindowOfDc(dc);
  int format = window ? gdi32::WindowPixelFormat(window) : 0;
  if (!format) {  // as GetPixelFormat reports it
    kernel32::SetThreadLastError(window ? ERROR_INVALID_PIXEL_FORMAT : ERROR_INVALID_HANDLE);
    return nullptr;
  }
  EGLContext share_egl = EGL_NO_CONTEXT;
  HGLRC share_group = nullptr;
  if (share) {
    std::lock_guard<std::mutex> lock(Table().mutex);
    Context *shared = Find(share);
    if (!shared) {
      ilk::kernel32::SetThreadLastError(ERROR_INVALID_OPERATION);
      return nullptr;
    }
    share_egl = shared->egl;
    share_group = shared->share_group;
  }
  eglBindAPI(EGL_OPENGL_API);
  EGLContext egl = eglCreateContext(ilk::gdi32::PixelFormatDisplay(), ilk::gdi32::PixelFormatConfig(format), share_egl, attribs.data());
  if (egl == EGL_NO_CONTEXT) {
    ilk::kernel32::SetThreadLastError(Win32Error(eglGetError(), unsupported_error));
    return nullptr;
  }
  auto context = std::make_unique<Context>();
  context->egl = egl;
  context->pixel_format = format;
  std::lock_guard<std::mutex> lock(Table().mutex);
  HGLRC handle = NextHandle();
  context->share_group = share_group ? share_group : handle;
  Table().contexts[handle] = std::move(context);
  return handle;
}

namespace {

GLenum MesaGetError() {
  static const auto mesa_get_error = reinterpret_cast<GLenum(APIENTRY *)(void)>(MesaProc("glGetError"));
  return mesa_get_error();
}

// OpenGL keeps one flag per error code: a code already pending is not queued again.
void QueueError(Context *context, GLenum error) {
  std::deque<GLenum> &pending = context->pending_errors;
  if (std::find(pending.begin(), pending.end(), error) == pending.end()) pending.push_back(error);
}

}  // namespace

void RaiseError(GLenum error) {
  Context *context = CurrentContext();
  if (!context) return;
  SetAsideErrors();
  QueueError(context, error);
}

size_t SetAsideErrors() {
  Context *context = CurrentContext();
  if (!context) return 0;
  size_t count = 0;
  for (GLenum pending = MesaGetError(); pending != GL_NO_ERROR; pending = MesaGetError()) {
    QueueError(context, pending);
    ++count;
  }
  return count;
}

size_t DropErrors() {
  if (!CurrentContext()) return 0;
  size_t count = 0;
  while (MesaGetError() != GL_NO_ERROR) ++count;
  return count;
}

}  // namespace ilk::opengl32

using namespace ilk::opengl32;

HGLRC WINAPI wglCreateContext(HDC dc) {
  HGLRC context = nullptr;
  if (std::optional<uint32_t> code = InjectedWglFailure("wglCreateContext")) {
    ilk::kernel32::SetThreadLastError(*code);
  } else {
    // No version asked for: Mesa gives the highest compatibility-profile version it has.
    context = CreateContext(dc, nullptr, {EGL_NONE}, ERROR_INVALID_PIXEL_FORMAT);
  }
  ilk::Trace("wglCreateContext(%p) = %p", (void *)dc, (void *)context);
  return context;
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
  DWORD error = 0;
  if (std::optional<uint32_t> code = InjectedWglFailure("wglMakeCurrent")) {
    error = *code;
  } else if (context) {
    error = MakeCurrent(dc, context);
  }
  if (!context || error) ReleaseCurrent();
  if (error) ilk::kernel32::SetThreadLastError(error);
  ilk::Trace("wglMakeCurrent(%p, %p) = %d", (void *)dc, (void *)context, !error);
  return !error;
}

BOOL WINAPI wglDeleteContext(HGLRC handle) {
  DWORD error = 0;
  if (std::optional<uint32_t> code = InjectedWglFailure("wglDeleteContext")) {
    error = *code;
  } else {
    if (handle && handle == current_handle) ReleaseCurrent();
    std::unique_ptr<Context> deleted;
    {
      std::lock_guard<std::mutex> lock(Table().mutex);
      auto found = Table().contexts.find(handle);
      if (found == Table().contexts.end()) {
        error = ERROR_INVALID_HANDLE;
      } else if (found->second->current) {
        error = ERROR_BUSY;  // current on another thread
      } else {
        deleted = std::move(found->second);
        Table().contexts.erase(found);
      }
    }
    deleted.reset();  // outside the lock: the EGL context goes with it
  }
  if (error) ilk::kernel32::SetThreadLastError(error);
  ilk::Trace("wglDeleteContext(%p) = %d", (void *)handle, !error);
  return !error;
}

HGLRC WINAPI wglGetCurrentContext(void) { return current_handle; }

HDC WINAPI wglGetCurrentDC(void) { return current_context ? current_context->dc : nullptr; }
