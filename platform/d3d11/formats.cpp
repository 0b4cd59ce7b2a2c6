// The DXGI formats of Direct3D resources, their Vulkan backing formats and their OpenGL formats.
#include "formats.h"

#include <GL/glext.h>

#include <algorithm>
#include <iterator>

namespace ilk::d3d11 {
namespace {

const VkImageAspectFlags kDepthStencil = VK_IMAGE_ASPECT_DEPTH_BIT | VK_IMAGE_ASPECT_STENCIL_BIT;

// Backings of one DXGI format follow each other, the preferred first.
const TextureFormat kFormats[] = {
    {DXGI_FORMAT_B8G8R8A8_UNORM, VK_FORMAT_R8G8B8A8_UNORM, GL_RGBA8, VK_IMAGE_ASPECT_COLOR_BIT, 4, true},
    {DXGI_FORMAT_R8G8B8A8_UNORM, VK_FORMAT_R8G8B8A8_UNORM, GL_RGBA8, VK_IMAGE_ASPECT_COLOR_BIT, 4, false},
    {DXGI_FORMAT_D24_UNORM_S8_UINT, VK_FORMAT_D24_UNORM_S8_UINT, GL_DEPTH24_STENCIL8, kDepthStencil, 4, false},
    {DXGI_FORMAT_D24_UNORM_S8_UINT, VK_FORMAT_D32_SFLOAT_S8_UINT, GL_DEPTH32F_STENCIL8, kDepthStencil, 4, false},
};

}  // namespace

const TextureFormat *FindTextureFormat(DXGI_FORMAT format) {
  auto found = std::find_if(std::begin(kFormats), std::end(kFormats),
                            [format](const TextureFormat &entry) { return entry.dxgi == format; });
  return found == std::end(kFormats) ? nullptr : found;
}

std::vector<const TextureFormat *> Backings(DXGI_FORMAT format) {
  std::vector<const TextureFormat *> backings;
  for (const TextureFormat &entry : kFormats) {
    if (entry.dxgi == format) backings.push_back(&entry);
  }
  return backings;
}

std::vector<DXGI_FORMAT> TextureDxgiFormats() {
  std::vector<DXGI_FORMAT> formats;
  for (const TextureFormat &entry : kFormats) {
    if (formats.empty() || formats.back() != entry.dxgi) formats.push_back(entry.dxgi);
  }
  return formats;
}

VkImageUsageFlags ImageUsage(const TextureFormat &format) {
  bool depth = format.aspects & VK_IMAGE_ASPECT_DEPTH_BIT;
  return VK_IMAGE_USAGE_TRANSFER_SRC_BIT | VK_IMAGE_USAGE_TRANSFER_DST_BIT | VK_IMAGE_USAGE_SAMPLED_BIT |
         (depth ? VK_IMAGE_USAGE_DEPTH_STENCIL_ATTACHMENT_BIT : VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT);
}

}  // namespace ilk::d3d11
