// The one place where OpenGL's EGL platform is chosen: INTERLOCK_EGL_PLATFORM, Mesa's surfaceless
// platform by default (it needs no window system and no device), or an EGL device of
// EGL_EXT_platform_device (the platform of drivers without a surfaceless one, and the way to put
// OpenGL on a chosen GPU).
#include "egl_display_choice.h"

#include <EGL/eglext.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "common/knobs.h"
#include "common/log.h"

namespace ilk::gdi32 {
namespace {

bool HasClientExtension(const char *name) {
  const char *extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!extensions) return false;
  size_t length = strlen(name);
  for (const char *at = strstr(extensions, name); at; at = strstr(at + length, name)) {
    bool starts = at == extensions || at[-1] == ' ';
    bool ends = at[length] == ' ' || at[length] == '\0';
    if (starts && ends) return true;
  }
  return false;
}

// "EGL error 0x...." for EGL's last error on this thread.
std::string LastEglError() {
  char text[32];
  snprintf(text, sizeof text, "EGL error 0x%x", eglGetError());
  return text;
}

std::string Describe(const EglPlatformChoice &choice) {
  if (choice.platform == EglPlatform::Surfaceless) return "surfaceless";
  return "device " + std::to_string(choice.device_index);
}

// The unopened display of `choice`; EGL_NO_DISPLAY with `why` set when EGL has none.
EGLDisplay PlatformDisplay(const EglPlatformChoice &choice, std::string &why) {
  if (choice.platform == EglPlatform::Surfaceless) {
    if (!HasClientExtension("EGL_MESA_platform_surfaceless")) {
      why = "EGL has no surfaceless platform";
      return EGL_NO_DISPLAY;
    }
    return eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  }
  auto query_devices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
  if (!HasClientExtension("EGL_EXT_platform_device") || !HasClientExtension("EGL_EXT_device_enumeration") ||
      !query_devices) {
    why = "EGL has no device platform";
    return EGL_NO_DISPLAY;
  }
  EGLint count = 0;
  query_devices(0, nullptr, &count);
  std::vector<EGLDeviceEXT> devices(count);
  if (count > 0) query_devices(count, devices.data(), &count);
  if (choice.device_index >= static_cast<uint32_t>(count)) {
    why = "EGL has " + std::to_string(count) + " device(s)";
    return EGL_NO_DISPLAY;
  }
  return eglGetPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[choice.device_index], nullptr);
}

// The initialised display of `choice`; EGL_NO_DISPLAY with `why` set when it cannot be opened.
EGLDisplay Open(const EglPlatformChoice &choice, std::string &why) {
  EGLDisplay display = PlatformDisplay(choice, why);
  if (display == EGL_NO_DISPLAY) {
    if (why.empty()) why = LastEglError();
    return EGL_NO_DISPLAY;
  }
  if (!eglInitialize(display, nullptr, nullptr)) {
    why = LastEglError();
    return EGL_NO_DISPLAY;
  }
  ilk::Trace("OpenGL runs on EGL's %s display (%s, EGL %s)", Describe(choice).c_str(),
             eglQueryString(display, EGL_VENDOR), eglQueryString(display, EGL_VERSION));
  return display;
}

}  // namespace

EGLDisplay OpenChosenEglDisplay() {
  EglPlatformChoice chosen = SelectedEglPlatform();
  std::string why;
  EGLDisplay display = Open(chosen, why);
  if (display != EGL_NO_DISPLAY) return display;
  EglPlatformChoice other;
  if (chosen.platform == EglPlatform::Surfaceless) other.platform = EglPlatform::Device;
  ilk::Log("cannot open EGL's %s display (%s), trying %s", Describe(chosen).c_str(), why.c_str(),
           Describe(other).c_str());
  why.clear();
  display = Open(other, why);
  if (display == EGL_NO_DISPLAY) ilk::Log("cannot open EGL's %s display (%s): no pixel formats", Describe(other).c_str(), why.c_str());
  return display;
}

}  // namespace ilk::gdi32
