// Which backing each DXGI format has on one Vulkan device, chosen from what the device reports.
#pragma once

#include <vulkan/vulkan.h>

#include <vector>

#include "formats.h"

namespace ilk::d3d11 {

// A DXGI format's backing on one device.
struct ChosenFormat {
  const TextureFormat *format = nullptr;
  // Whether the device can export its images' memory as opaque file descriptors and import it
  // again, as OpenGL's memory import needs.
  bool sharable = false;
  // Whether the device can make linear images of it with every texture's usage, which a swap
  // chain's host-readable buffers are (texture.h).
  bool linear = false;
};

// For every DXGI format, the first backing whose images `physical` can share; where none can
// be, the first it can make at all (its textures stay Direct3D's own, which OpenGL cannot
// register). A format without a backing the device can make is left out.
std::vector<ChosenFormat> ChooseFormats(VkPhysicalDevice physical);

}  // namespace ilk::d3d11
