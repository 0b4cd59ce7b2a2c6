// Which device OpenGL runs on, by the UUIDs GL_EXT_memory_object reports (gdi32_internal.h).
#include "gdi32_internal.h"

#include <GL/glext.h>
#include <stdio.h>
#include <string.h>

#include "d3d11/d3d11_internal.h"

namespace ilk::gdi32 {
namespace {

template <typename Function>
Function GLFunction(const char *name) {
  return reinterpret_cast<Function>(eglGetProcAddress(name));
}

std::string Hex(const uint8_t *uuid) {
  std::string text;
  char digits[3];
  for (size_t i = 0; i < d3d11::kDeviceUuidSize; ++i) {
    snprintf(digits, sizeof digits, "%02x", uuid[i]);
    text += digits;
  }
  return text;
}

}  // namespace

std::string DescribeDevice(const d3d11::DeviceIdentity &device) {
  std::string node;
  if (device.render_node) {
    node = ", render node " + std::to_string(device.render_node->device_major) + ":" +
           std::to_string(device.render_node->device_minor);
  }
  return device.name + " (device UUID " + Hex(device.device_uuid) + ", driver UUID " + Hex(device.driver_uuid) + node +
         ")";
}

bool CurrentOpenGLRunsOn(const d3d11::DeviceIdentity &direct3d, std::string *opengl) {
  static_assert(d3d11::kDeviceUuidSize == GL_UUID_SIZE_EXT, "both APIs name the device alike");
  const auto get_integer = GLFunction<void(APIENTRY *)(GLenum, GLint *)>("glGetIntegerv");
  const auto get_string = GLFunction<const GLubyte *(APIENTRY *)(GLenum)>("glGetString");
  const auto get_uuid = GLFunction<PFNGLGETUNSIGNEDBYTEVEXTPROC>("glGetUnsignedBytevEXT");
  const auto get_indexed_uuid = GLFunction<PFNGLGETUNSIGNEDBYTEI_VEXTPROC>("glGetUnsignedBytei_vEXT");
  if (!get_integer || !get_string || !get_uuid || !get_indexed_uuid) {
    *opengl = "an OpenGL without GL_EXT_memory_object";
    return false;
  }
  GLubyte driver[GL_UUID_SIZE_EXT] = {};
  get_uuid(GL_DRIVER_UUID_EXT, driver);
  GLint devices = 0;
  get_integer(GL_NUM_DEVICE_UUIDS_EXT, &devices);
  bool same_device = false;
  std::string device_uuids;
  for (GLint index = 0; index < devices; ++index) {
    GLubyte uuid[GL_UUID_SIZE_EXT] = {};
    get_indexed_uuid(GL_DEVICE_UUID_EXT, (GLuint)index, uuid);
    same_device = same_device || memcmp(uuid, direct3d.device_uuid, GL_UUID_SIZE_EXT) == 0;
    device_uuids += (index ? "/" : "") + Hex(uuid);
  }
  const GLubyte *renderer = get_string(GL_RENDERER);
  *opengl = std::string(renderer ? reinterpret_cast<const char *>(renderer) : "an unnamed device") + " (device UUID " +
            device_uuids + ", driver UUID " + Hex(driver) + ")";
  return same_device && memcmp(driver, direct3d.driver_uuid, GL_UUID_SIZE_EXT) == 0;
}

}  // namespace ilk::gdi32
