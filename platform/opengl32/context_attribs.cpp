// opengl32: wglCreateContextAttribsARB (WGL_ARB_create_context and
// WGL_ARB_create_context_profile) on EGL_KHR_create_context.
//
// Failures, as the extensions define them: a version that OpenGL never had, or forward
// compatibility below 3.0, or a version, profile or flag the driver cannot give (EGL reports that
// as EGL_BAD_MATCH) -> ERROR_INVALID_VERSION_ARB; from 3.2 on, a profile mask other than exactly
// one of core and compatibility -> ERROR_INVALID_PROFILE_ARB (below 3.2 the mask is ignored).
// Chosen where the extensions leave it open: an unknown attribute, unknown flag bits or a layer
// plane other than the main one -> ERROR_INVALID_PARAMETER.
#include <GL/wglext.h>

#include "common/log.h"
#include "contexts.h"
#include "kernel32/kernel32_internal.h"

namespace ilk::opengl32 {
namespace {

struct Request {
  int major = 1;
  int minor = 0;
  int flags = 0;
  int profile = WGL_CONTEXT_CORE_PROFILE_BIT_ARB;
  int layer = 0;
};

bool VersionExists(int major, int minor) {
  static const int kLastMinor[] = {-1, 5, 1, 3, 6};  // 1.0-1.5, 2.0-2.1, 3.0-3.3, 4.0-4.6
  return major >= 1 && major <= 4 && minor >= 0 && minor <= kLastMinor[major];
}

// Reads the attribute list; the Win32 error when it is malformed.
DWORD Parse(const int *attribs, Request *request) {
  for (const int *attrib = attribs; attrib && attrib[0]; attrib += 2) {
    switch (attrib[0]) {
      case WGL_CONTEXT_MAJOR_VERSION_ARB: request->major = attrib[1]; break;
      case WGL_CONTEXT_MINOR_VERSION_ARB: request->minor = attrib[1]; break;
      case WGL_CONTEXT_FLAGS_ARB: request->flags = attrib[1]; break;
      case WGL_CONTEXT_PROFILE_MASK_ARB: request->profile = attrib[1]; break;
      case WGL_CONTEXT_LAYER_PLANE_ARB: request->layer = attrib[1]; break;
      default: return ERROR_INVALID_PARAMETER;
    }
  }
  const int known_flags = WGL_CONTEXT_DEBUG_BIT_ARB | WGL_CONTEXT_FORWARD_COMPATIBLE_BIT_ARB;
  if ((request->flags & ~known_flags) || request->layer != 0) return ERROR_INVALID_PARAMETER;
  if (!VersionExists(request->major, request->minor)) return ERROR_INVALID_VERSION_ARB;
  if ((request->flags & WGL_CONTEXT_FORWARD_COMPATIBLE_BIT_ARB) && request->major < 3) {
    return ERROR_INVALID_VERSION_ARB;
  }
  bool has_profiles = request->major > 3 || (request->major == 3 && request->minor >= 2);
  if (has_profiles && request->profile != WGL_CONTEXT_CORE_PROFILE_BIT_ARB &&
      request->profile != WGL_CONTEXT_COMPATIBILITY_PROFILE_BIT_ARB) {
    return ERROR_INVALID_PROFILE_ARB;
  }
  return 0;
}

std::vector<EGLint> EglAttribs(const Request &request) {
  std::vector<EGLint> attribs = {EGL_CONTEXT_MAJOR_VERSION, request.major, EGL_CONTEXT_MINOR_VERSION, request.minor};
  if (request.major > 3 || (request.major == 3 && request.minor >= 2)) {
    attribs.push_back(EGL_CONTEXT_OPENGL_PROFILE_MASK);
    attribs.push_back(request.profile == WGL_CONTEXT_CORE_PROFILE_BIT_ARB ? EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT
                                                                          : EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT);
  }
  if (request.flags & WGL_CONTEXT_DEBUG_BIT_ARB) {
    attribs.push_back(EGL_CONTEXT_OPENGL_DEBUG);
    attribs.push_back(EGL_TRUE);
  }
  if (request.flags & WGL_CONTEXT_FORWARD_COMPATIBLE_BIT_ARB) {
    attribs.push_back(EGL_CONTEXT_OPENGL_FORWARD_COMPATIBLE);
    attribs.push_back(EGL_TRUE);
  }
  attribs.push_back(EGL_NONE);
  return attribs;
}

}  // namespace

HGLRC WINAPI CreateContextAttribs(HDC dc, HGLRC share, const int *attribs) {
  HGLRC context = nullptr;
  Request request;
  DWORD error = Parse(attribs, &request);
  if (std::optional<uint32_t> code = ilk::InjectedFailure("wglCreateContextAttribsARB", ERROR_GEN_FAILURE)) {
    ilk::kernel32::SetThreadLastError(*code);
  } else if (error) {
    ilk::kernel32::SetThreadLastError(error);
  } else {
    context = CreateContext(dc, share, EglAttribs(request), ERROR_INVALID_VERSION_ARB);
  }
  ilk::Trace("wglCreateContextAttribsARB(%p, %p, %d.%d flags 0x%x profile 0x%x) = %p", (void *)dc, (void *)share,
             request.major, request.minor, request.flags, request.profile, (void *)context);
  return context;
}

}  // namespace ilk::opengl32
