// The one place where OpenGL's EGL platform is chosen: INTERLOCK_EGL_PLATFORM, Mesa's surfaceless
// platform (it needs no window system and no device), or an EGL device of EGL_EXT_platform_device
// (the platform of drivers without a surfaceless one, and the way to put OpenGL on a chosen GPU).
// Without the knob OpenGL is paired with Direct3D: the display is the first, surfaceless then
// each EGL device, whose OpenGL runs on the Vulkan device Direct3D runs on, as sharing memory
// needs (an EGL device on another render node than the Vulkan device's, where both name one, is
// not even opened); where none does, a note names them all and OpenGL stays on the surfaceless
// platform.
#include "egl_display_choice.h"

#include <EGL/eglext.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <optional>
#include <string>
#include <vector>

#include "common/knobs.h"
#include "common/log.h"
#include "d3d11/d3d11_internal.h"
#include "gdi32_internal.h"

namespace ilk::gdi32 {
namespace {

// Whether the space-separated `extensions` (may be null) name `name`.
bool ListsExtension(const char *extensions, const char *name) {
  if (!extensions) return false;
  size_t length = strlen(name);
  for (const char *at = strstr(extensions, name); at; at = strstr(at + length, name)) {
    bool starts = at == extensions || at[-1] == ' ';
    bool ends = at[length] == ' ' || at[length] == '\0';
    if (starts && ends) return true;
  }
  return false;
}

bool HasClientExtension(const char *name) {
  return ListsExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS), name);
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

// EGL's devices; none without the device platform.
std::optional<std::vector<EGLDeviceEXT>> EglDevices() {
  auto query_devices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
  if (!HasClientExtension("EGL_EXT_platform_device") || !HasClientExtension("EGL_EXT_device_enumeration") ||
      !query_devices) {
    return std::nullopt;
  }
  EGLint count = 0;
  query_devices(0, nullptr, &count);
  std::vector<EGLDeviceEXT> devices(count);
  if (count > 0) query_devices(count, devices.data(), &count);
  return devices;
}

// The render node of EGL device `device` (EGL_EXT_device_drm_render_node), its file in `file`;
// none when the device names none or its file is no character device.
std::optional<d3d11::RenderNode> RenderNodeOf(EGLDeviceEXT device, std::string *file) {
  auto query_string =
      reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
  if (!query_string || !ListsExtension(query_string(device, EGL_EXTENSIONS), "EGL_EXT_device_drm_render_node")) {
    return std::nullopt;
  }
  const char *path = query_string(device, EGL_DRM_RENDER_NODE_FILE_EXT);
  struct stat node;
  if (!path || stat(path, &node) != 0 || !S_ISCHR(node.st_mode)) return std::nullopt;
  *file = path;
  return d3d11::RenderNode{major(node.st_rdev), minor(node.st_rdev)};
}

// Whether EGL device `device` is on another render node than `direct3d`, where both name one;
// `file` gets its node's file then.
bool OnAnotherRenderNode(EGLDeviceEXT device, const d3d11::DeviceIdentity &direct3d, std::string *file) {
  if (!direct3d.render_node) return false;
  std::optional<d3d11::RenderNode> node = RenderNodeOf(device, file);
  return node && (node->device_major != direct3d.render_node->device_major ||
                  node->device_minor != direct3d.render_node->device_minor);
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
  std::optional<std::vector<EGLDeviceEXT>> devices = EglDevices();
  if (!devices) {
    why = "EGL has no device platform";
    return EGL_NO_DISPLAY;
  }
  if (choice.device_index >= devices->size()) {
    why = "EGL has " + std::to_string(devices->size()) + " device(s)";
    return EGL_NO_DISPLAY;
  }
  return eglGetPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, (*devices)[choice.device_index], nullptr);
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
  return display;
}

EGLDisplay Chosen(EGLDisplay display, const EglPlatformChoice &choice) {
  ilk::Trace("OpenGL runs on EGL's %s display (%s, EGL %s)", Describe(choice).c_str(),
             eglQueryString(display, EGL_VENDOR), eglQueryString(display, EGL_VERSION));
  return display;
}

// Whether OpenGL on `display` runs on `direct3d`, asked of a context made for the question;
// `opengl` gets what it runs on.
bool RunsOn(EGLDisplay display, const d3d11::DeviceIdentity &direct3d, std::string *opengl) {
  const EGLint no_attributes[] = {EGL_NONE};
  eglBindAPI(EGL_OPENGL_API);
  EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, no_attributes);
  if (context == EGL_NO_CONTEXT) {
    *opengl = "no OpenGL context (" + LastEglError() + ")";
    return false;
  }
  EGLDisplay previous_display = eglGetCurrentDisplay();
  EGLContext previous_context = eglGetCurrentContext();
  EGLSurface previous_draw = eglGetCurrentSurface(EGL_DRAW), previous_read = eglGetCurrentSurface(EGL_READ);
  bool runs = eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) && CurrentOpenGLRunsOn(direct3d, opengl);
  if (previous_context != EGL_NO_CONTEXT) {
    eglMakeCurrent(previous_display, previous_draw, previous_read, previous_context);
  } else {
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  }
  eglDestroyContext(display, context);
  return runs;
}

// The display, surfaceless then each EGL device, whose OpenGL runs on the device Direct3D would
// choose; EGL_NO_DISPLAY when Direct3D has no device, or, with a note naming every device, when
// no display runs on it.
EGLDisplay OpenPairedDisplay() {
  d3d11::DeviceIdentity direct3d;
  if (!d3d11::ChosenDeviceIdentity(&direct3d)) return EGL_NO_DISPLAY;
  std::vector<EglPlatformChoice> candidates(1);
  const std::vector<EGLDeviceEXT> devices = EglDevices().value_or(std::vector<EGLDeviceEXT>());
  for (uint32_t index = 0; index < devices.size(); ++index) candidates.push_back({EglPlatform::Device, index});
  std::string elsewhere;
  for (const EglPlatformChoice &candidate : candidates) {
    std::string why, opengl, node_file;
    // Another render node is another device: no context is made on it.
    if (candidate.platform == EglPlatform::Device &&
        OnAnotherRenderNode(devices[candidate.device_index], direct3d, &node_file)) {
      elsewhere += "; " + Describe(candidate) + " on render node " + node_file;
      continue;
    }
    EGLDisplay display = Open(candidate, why);
    if (display == EGL_NO_DISPLAY) continue;
    if (RunsOn(display, direct3d, &opengl)) return Chosen(display, candidate);
    elsewhere += "; " + Describe(candidate) + " on " + opengl;
    eglTerminate(display);
  }
  ilk::Log("no EGL display runs OpenGL on Direct3D's Vulkan device %s%s", DescribeDevice(direct3d).c_str(),
           elsewhere.c_str());
  return EGL_NO_DISPLAY;
}

}  // namespace

EGLDisplay OpenChosenEglDisplay() {
  EglPlatformChoice chosen = SelectedEglPlatform();
  if (!chosen.given) {
    EGLDisplay paired = OpenPairedDisplay();
    if (paired != EGL_NO_DISPLAY) return paired;
  }
  std::string why;
  EGLDisplay display = Open(chosen, why);
  if (display != EGL_NO_DISPLAY) return Chosen(display, chosen);
  EglPlatformChoice other;
  if (chosen.platform == EglPlatform::Surfaceless) other.platform = EglPlatform::Device;
  ilk::Log("cannot open EGL's %s display (%s), trying %s", Describe(chosen).c_str(), why.c_str(),
           Describe(other).c_str());
  why.clear();
  display = Open(other, why);
  if (display != EGL_NO_DISPLAY) return Chosen(display, other);
  ilk::Log("cannot open EGL's %s display (%s): no pixel formats", Describe(other).c_str(), why.c_str());
  return display;
}

}  // namespace ilk::gdi32
