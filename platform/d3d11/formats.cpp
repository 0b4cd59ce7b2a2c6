// The DXGI formats of Direct3D resources, their Vulkan backing formats and their OpenGL formats.
#include "formats.h"

#include <GL/glext.h>

namespace ilk::d3d11 {

const TextureFormat *FindTextureFormat(DXGI_FORMAT format) {
  static const TextureFormat kFormats[] = {
      {DXGI_FORMAT_B8G8R8A8_UNORM, VK_FORMAT_R8G8B8A8_UNORM, GL_RGBA8, VK_IMAGE_ASPECT_COLOR_BIT, 4, true},
      {DXGI_FORMAT_R8G8B8A8_UNORM, VK_FORMAT_R8G8B8A8_UNORM, GL_RGBA8, VK_IMAGE_ASPECT_COLOR_BIT, 4, false},
      {DXGI_FORMAT_D24_UNORM_S8_UINT, VK_FORMAT_D24_UNORM_S8_UINT, GL_DEPTH24_STENCIL8,
       VK_IMAGE_ASPECT_DEPTH_BIT | VK_IMAGE_ASPECT_STENCIL_BIT, 4, false},
  };
  for (const TextureFormat &entry : kFormats) {
    if (entry.dxgi == format) return &entry;
  }
  return nullptr;
}

}  // namespace ilk::d3d11
