// A host-visible Vulkan buffer for moving texels between the host and images.
#pragma once

#include "vulkan_device.h"

namespace ilk::d3d11 {

class StagingBuffer {
 public:
  StagingBuffer(VulkanDevice &device, VkDeviceSize size);
  ~StagingBuffer();
  StagingBuffer(const StagingBuffer &) = delete;
  StagingBuffer &operator=(const StagingBuffer &) = delete;

  // Null when the buffer could not be made.
  uint8_t *Data() const { return static_cast<uint8_t *>(mapped_); }
  VkBuffer Handle() const { return buffer_; }

 private:
  VulkanDevice &device_;
  VkBuffer buffer_ = VK_NULL_HANDLE;
  VkDeviceMemory memory_ = VK_NULL_HANDLE;
  void *mapped_ = nullptr;
};

}  // namespace ilk::d3d11
