// A host-visible Vulkan buffer for moving texels between the host and images.
#pragma once

#include "vulkan_device.h"

namespace ilk::d3d11 {

// Which way a staging buffer's texels go, which decides the memory it gets: uploads prefer
// host-coherent memory (written once, in order), read-back prefers host-cached memory, which
// the host reads fast (on a discrete GPU the first host-visible type is often uncached).
enum class StagingUse { kUpload, kReadBack };

class StagingBuffer {
 public:
  StagingBuffer(VulkanDevice &device, VkDeviceSize size, StagingUse use);
  ~StagingBuffer();
  StagingBuffer(const StagingBuffer &) = delete;
  StagingBuffer &operator=(const StagingBuffer &) = delete;

  // Null when the buffer could not be made.
  uint8_t *Data() const { return static_cast<uint8_t *>(mapped_); }
  VkBuffer Handle() const { return buffer_; }
  // After the host wrote Data(), before the device reads it: makes the writes visible to the
  // device. Nothing to do in host-coherent memory.
  void FlushHostWrites() const;
  // After the device wrote the buffer and the host waited for it, before the host reads Data():
  // makes the writes visible to the host. Nothing to do in host-coherent memory.
  void InvalidateHostCopy() const;

 private:
  VulkanDevice &device_;
  VkBuffer buffer_ = VK_NULL_HANDLE;
  VkDeviceMemory memory_ = VK_NULL_HANDLE;
  void *mapped_ = nullptr;
  bool coherent_ = true;
};

}  // namespace ilk::d3d11
