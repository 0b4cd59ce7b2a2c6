// gdi32: ChoosePixelFormat, DescribePixelFormat, SetPixelFormat and GetPixelFormat.
//
// The formats are the single-sampled EGL configs with 8-bit red, green and blue channels that can
// render OpenGL into a pbuffer (opengl32 backs each window with one), numbered from 1 in EGL's
// order. They describe themselves as PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL |
// PFD_SUPPORT_COMPOSITION, single-buffered: a window's default framebuffer here is never shown.
// A window's format is kept by window handle and, as on Windows, can be set only once.
#include "gdi32_internal.h"

#include <stdlib.h>
#include <string.h>

#include <map>
#include <mutex>
#include <vector>

#include "common/injected_failure.h"
#include "common/log.h"
#include "common/platform_state.h"
#include "egl_display_choice.h"

namespace {

constexpr DWORD kFormatFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_SUPPORT_COMPOSITION;

struct PixelFormat {
  EGLConfig config;
  PIXELFORMATDESCRIPTOR pfd;
};

// The display OpenGL runs on and its formats, which never change while it is open.
struct PixelFormats {
  EGLDisplay display = EGL_NO_DISPLAY;
  std::vector<PixelFormat> formats;

  PixelFormats() = default;
  PixelFormats(const PixelFormats &) = delete;
  PixelFormats &operator=(const PixelFormats &) = delete;
  ~PixelFormats() {
    if (display != EGL_NO_DISPLAY) eglTerminate(display);
  }
};

EGLint Attrib(EGLDisplay display, EGLConfig config, EGLint attribute) {
  EGLint value = 0;
  eglGetConfigAttrib(display, config, attribute, &value);
  return value;
}

std::vector<PixelFormat> DescribeConfigs(EGLDisplay display) {
  EGLint count = 0;
  eglGetConfigs(display, nullptr, 0, &count);
  std::vector<EGLConfig> configs(count);
  eglGetConfigs(display, configs.data(), count, &count);
  std::vector<PixelFormat> formats;
  for (EGLConfig config : configs) {
    auto attrib = [&](EGLint attribute) { return Attrib(display, config, attribute); };
    bool usable = (attrib(EGL_RENDERABLE_TYPE) & EGL_OPENGL_BIT) && (attrib(EGL_SURFACE_TYPE) & EGL_PBUFFER_BIT) &&
                  attrib(EGL_COLOR_BUFFER_TYPE) == EGL_RGB_BUFFER && attrib(EGL_SAMPLES) == 0 &&
                  attrib(EGL_RED_SIZE) == 8 && attrib(EGL_GREEN_SIZE) == 8 && attrib(EGL_BLUE_SIZE) == 8;
    if (!usable) continue;
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = kFormatFlags;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;  // Windows counts colour bits without alpha
    pfd.cRedBits = pfd.cGreenBits = pfd.cBlueBits = 8;
    pfd.cRedShift = 16;  // 0x00RRGGBB within a pixel, alpha above
    pfd.cGreenShift = 8;
    pfd.cBlueShift = 0;
    pfd.cAlphaBits = static_cast<BYTE>(attrib(EGL_ALPHA_SIZE));
    pfd.cAlphaShift = pfd.cAlphaBits ? 24 : 0;
    pfd.cDepthBits = static_cast<BYTE>(attrib(EGL_DEPTH_SIZE));
    pfd.cStencilBits = static_cast<BYTE>(attrib(EGL_STENCIL_SIZE));
    pfd.iLayerType = PFD_MAIN_PLANE;
    formats.push_back({config, pfd});
  }
  return formats;
}

PixelFormats *OpenFormats() {
  auto *result = new PixelFormats;
  result->display = ilk::gdi32::OpenChosenEglDisplay();
  if (result->display != EGL_NO_DISPLAY) result->formats = DescribeConfigs(result->display);
  return result;
}

ilk::PlatformState<PixelFormats> formats(&OpenFormats);

const PixelFormats &Formats() { return formats.Get(); }

int FormatCount() { return static_cast<int>(Formats().formats.size()); }

// Each window's format, set once; window handles are never reused.
struct WindowFormats {
  std::mutex mutex;
  std::map<HWND, int> by_window;
};

ilk::PlatformState<WindowFormats> window_formats;

// The window behind `dc`, or null with ERROR_INVALID_HANDLE set.
HWND WindowOf(HDC dc) {
  HWND window = ilk::gdi32::WindowOfDc(dc);
  if (!window) SetLastError(ERROR_INVALID_HANDLE);
  return window;
}

// The window of `dc` for the call `name`; null with the last-error code set when INTERLOCK_FAIL
// fails the call or the DC has no window.
HWND TargetWindow(const char *name, HDC dc) {
  if (ilk::FailsWithLastError(name)) return nullptr;
  return WindowOf(dc);
}

// How far a format is from a request; lower is closer. Missing requested alpha, depth or
// stencil weighs more than surplus, so a request is met whenever some format can meet it.
int Distance(const PIXELFORMATDESCRIPTOR &have, const PIXELFORMATDESCRIPTOR &want) {
  auto distance = [](int has, int wants) { return has >= wants ? has - wants : 4 * (wants - has); };
  int result = distance(have.cAlphaBits, want.cAlphaBits) + distance(have.cStencilBits, want.cStencilBits);
  if (!(want.dwFlags & PFD_DEPTH_DONTCARE)) result += distance(have.cDepthBits, want.cDepthBits);
  if (want.cColorBits) result += abs(have.cColorBits - want.cColorBits);
  return result;
}

// The closest format to `want` (the first of equals); 0 with the last-error code set when none
// has its pixel type and the capabilities it asks for. Buffering is not among them: the formats
// are all single-buffered, so a double-buffering request cannot be more than a preference.
int ClosestFormat(const PIXELFORMATDESCRIPTOR *want) {
  if (!want) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DWORD required = want->dwFlags & (PFD_DRAW_TO_WINDOW | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL);
  int chosen = 0;
  int best_distance = 0;
  for (int format = 1; format <= FormatCount(); ++format) {
    const PIXELFORMATDESCRIPTOR &have = Formats().formats[format - 1].pfd;
    if (have.iPixelType != want->iPixelType || (have.dwFlags & required) != required) continue;
    int distance = Distance(have, *want);
    if (!chosen || distance < best_distance) {
      chosen = format;
      best_distance = distance;
    }
  }
  if (!chosen) SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  return chosen;
}

// DescribePixelFormat's result for an existing DC: the number of formats, 0 for a bad index.
int Describe(int format, UINT bytes, LPPIXELFORMATDESCRIPTOR pfd) {
  if (!pfd) return FormatCount();  // a null descriptor asks only for the number of formats
  if (format < 1 || format > FormatCount()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // At most `bytes` bytes are written, as Windows documents.
  memcpy(pfd, &Formats().formats[format - 1].pfd, bytes < sizeof *pfd ? bytes : sizeof *pfd);
  return FormatCount();
}

// Gives `window` its format; setting the format it already has succeeds, changing it does not.
BOOL SetWindowFormat(HWND window, int format) {
  if (format < 1 || format > FormatCount()) {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return FALSE;
  }
  WindowFormats &state = window_formats.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto inserted = state.by_window.emplace(window, format);
  if (inserted.second || inserted.first->second == format) return TRUE;
  SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  return FALSE;
}

}  // namespace

namespace ilk::gdi32 {

EGLDisplay PixelFormatDisplay() { return Formats().display; }

EGLConfig PixelFormatConfig(int format) {
  if (format < 1 || format > FormatCount()) return nullptr;
  return Formats().formats[format - 1].config;
}

}  // namespace ilk::gdi32

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR *pfd) {
  int chosen = TargetWindow("ChoosePixelFormat", dc) ? ClosestFormat(pfd) : 0;
  ilk::Trace("ChoosePixelFormat(%p) = %d", (void *)dc, chosen);
  return chosen;
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, LPPIXELFORMATDESCRIPTOR pfd) {
  int result = TargetWindow("DescribePixelFormat", dc) ? Describe(format, bytes, pfd) : 0;
  ilk::Trace("DescribePixelFormat(%p, %d, %u) = %d", (void *)dc, format, bytes, result);
  return result;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR *) {
  HWND window = TargetWindow("SetPixelFormat", dc);
  BOOL result = window ? SetWindowFormat(window, format) : FALSE;
  ilk::Trace("SetPixelFormat(%p, %d) = %d", (void *)dc, format, result);
  return result;
}

int ilk::gdi32::WindowPixelFormat(HWND window) {
  WindowFormats &state = window_formats.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto found = state.by_window.find(window);
  return found == state.by_window.end() ? 0 : found->second;
}

int WINAPI GetPixelFormat(HDC dc) {
  int format = 0;
  if (HWND window = WindowOf(dc)) {
    format = ilk::gdi32::WindowPixelFormat(window);
    if (!format) SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  }
  ilk::Trace("GetPixelFormat(%p) = %d", (void *)dc, format);
  return format;
}
