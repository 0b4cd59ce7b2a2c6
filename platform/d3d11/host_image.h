// An image in host memory that the device writes: a linear B8G8R8A8 Vulkan image bound to
// memory the host allocated and the device imported (VK_EXT_external_memory_host), so that a
// presented buffer lands in a window's pixels with no copy by the CPU.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>

#include "d3d11_internal.h"
#include "vulkan_device.h"

namespace ilk::d3d11 {

class Texture;

class HostImage {
 public:
  // The layout of a `width` x `height` host image on `vulkan`. False when the device cannot
  // import host memory or write such an image.
  static bool LayoutFor(VulkanDevice &vulkan, uint32_t width, uint32_t height, HostImageLayout *layout);
  // An image over `pixels`, which has `layout` (from LayoutFor with the same size) and stays
  // valid and mapped until the image is destroyed. Null when the import fails.
  static std::unique_ptr<HostImage> Import(VulkanDevice &vulkan, uint32_t width, uint32_t height, uint8_t *pixels,
                                           const HostImageLayout &layout);
  ~HostImage();
  HostImage(const HostImage &) = delete;
  HostImage &operator=(const HostImage &) = delete;

  // Writes mip level 0 of slice 0 of `source` (an 8-bit colour texture of the image's size,
  // bytes R, G, B, A) into the host memory as B, G, R, A, with whatever was queued to run
  // before it, and waits for it: the pixels are the host's when this returns. False when the
  // device fails or `source` does not fit.
  bool Write(const Texture &source);

 private:
  HostImage(VulkanDevice &vulkan, uint32_t width, uint32_t height) : vulkan_(vulkan), width_(width), height_(height) {}

  VulkanDevice &vulkan_;
  const uint32_t width_, height_;
  VkImage image_ = VK_NULL_HANDLE;
  VkDeviceMemory memory_ = VK_NULL_HANDLE;
};

}  // namespace ilk::d3d11
